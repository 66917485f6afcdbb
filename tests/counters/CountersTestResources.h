#pragma once
// String resources of the counter tests (counters_tests.rc).
#define IDS_TEST_PDH_PATH 9001
#define IDS_TEST_PERFSTAT_PATH 9002
#define IDS_TEST_MISSING 9099
