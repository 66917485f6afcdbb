#pragma once
// Number settings a test chooses, handed to CNumberFormat in place of the user's. The format
// reads them when it is made, so g_fakeSettings must be set before.
#include "support/LocaleRead.h"

#include <windows.h>

struct FakeSettings {
    const char* decimal;
    const char* thousand;
    const char* grouping;
    const char* leadingZero;
    const char* digits;
};

inline FakeSettings g_fakeSettings;

// The sign is the one setting no test varies: always a leading minus.
inline int ReadFakeLocale(unsigned long type, char* buffer, int size) {
    const char* value = nullptr;
    switch (type) {
    case LOCALE_SDECIMAL:
        value = g_fakeSettings.decimal;
        break;
    case LOCALE_STHOUSAND:
        value = g_fakeSettings.thousand;
        break;
    case LOCALE_SGROUPING:
        value = g_fakeSettings.grouping;
        break;
    case LOCALE_ILZERO:
        value = g_fakeSettings.leadingZero;
        break;
    case LOCALE_IDIGITS:
        value = g_fakeSettings.digits;
        break;
    case LOCALE_INEGNUMBER:
        value = "1";
        break;
    default:
        return 0;
    }
    return AnswerLocaleRead(value, buffer, size);
}
