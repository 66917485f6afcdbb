// Times one recording of the connection log (a connection booked, "clog.dat" read and written
// anew, "clog.htm" and "mlog.htm" rewritten, "mlog.dat" saved) with 100, 10,000 and 65,535
// stored connections, and the time plain C stdio needs to write the same bytes of "clog.dat"
// and "clog.htm". Prints both and their ratio; each figure is the median of several runs. Then
// the running connection's checkpoint: one write of "clog.run" against the recording with 100
// stored connections that it must not outweigh, and that recording with checkpoints on (the
// booked period written to "clog.run" first, the file removed last).
#include "framework/AppMessageBox.h"
#include "framework/CArchive.h"
#include "log/CConnectionLog.h"
#include "log/MonthLog.h"

#include <windows.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int RUNS = 11;
constexpr TIME64 DAY = 86400;

class Stopwatch {
public:
    Stopwatch() {
        QueryPerformanceFrequency(&m_frequency);
        QueryPerformanceCounter(&m_start);
    }
    double Milliseconds() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return 1000.0 * static_cast<double>(now.QuadPart - m_start.QuadPart) /
               static_cast<double>(m_frequency.QuadPart);
    }

private:
    LARGE_INTEGER m_frequency;
    LARGE_INTEGER m_start;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string NewFolder() {
    char temp[MAX_PATH] = {};
    char name[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    GetTempFileNameA(temp, "tvb", 0, name);
    DeleteFileA(name);
    CreateDirectoryA(name, nullptr);
    return std::string(name) + "\\";
}

void RemoveFolder(const std::string& folder) {
    for (const char* name : {"clog.dat", "mlog.dat", "clog.run", "frame.htm", "clog.htm",
                             "mlog.htm", "raw-clog.dat", "raw-clog.htm"})
        DeleteFileA((folder + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

// count connections spread over the last 90 days, none old enough to be dropped.
void WriteStoredConnections(const std::string& folder, unsigned count, TIME64 now) {
    CConnectionList list;
    const TIME64 first = now - 90 * DAY;
    for (unsigned i = 0; i < count; ++i) {
        const TIME64 start = first + static_cast<TIME64>(i) * (89 * DAY) / count;
        list.emplace_back(start, 60 + static_cast<std::int32_t>(i % 7200), 1000000 + 37LL * i,
                          200000 + 11LL * i);
    }
    CFile file(folder + "clog.dat", CFile::modeCreate | CFile::modeWrite);
    CArchive archive(file, CArchive::store);
    StoreConnectionList(archive, list);
    archive.Close();
}

void WriteRecentMonthTotals(const std::string& folder, TIME64 now) {
    CFile file(folder + "mlog.dat", CFile::modeCreate | CFile::modeWrite);
    WriteMonthLog(file, now - DAY, MonthTable{});
}

std::string ReadWhole(const std::string& path) {
    std::string bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char block[65536];
        std::size_t n;
        while ((n = std::fread(block, 1, sizeof block, file)) > 0)
            bytes.append(block, n);
        std::fclose(file);
    }
    return bytes;
}

void WriteWithStdio(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

double TimeRecording(const std::string& folder, unsigned count, TIME64 now,
                     unsigned checkpointSeconds = 0) {
    WriteStoredConnections(folder, count, now);
    CConnectionLog log(folder);
    log.SetCheckpointInterval(checkpointSeconds);
    const Stopwatch watch;
    log.StartConnection(1000, 2000);
    log.UpdateConnection(1000 + 1048576, 2000 + 524288);
    log.EndConnection();
    return watch.Milliseconds();
}

double TimeStdio(const std::string& folder, const std::string& clogDat,
                 const std::string& clogHtm) {
    const Stopwatch watch;
    WriteWithStdio(folder + "raw-clog.dat", clogDat);
    WriteWithStdio(folder + "raw-clog.htm", clogHtm);
    return watch.Milliseconds();
}

void Measure(unsigned count) {
    const std::string folder = NewFolder();
    const TIME64 now = Clock::Now();
    WriteRecentMonthTotals(folder, now);

    std::vector<double> recordings, stdioWrites;
    recordings.push_back(TimeRecording(folder, count, now));
    const std::string clogDat = ReadWhole(folder + "clog.dat");
    const std::string clogHtm = ReadWhole(folder + "clog.htm");
    // Taken in turns, so that both see the disk and the machine in the same state.
    for (int run = 0; run < RUNS; ++run) {
        stdioWrites.push_back(TimeStdio(folder, clogDat, clogHtm));
        if (run + 1 < RUNS)
            recordings.push_back(TimeRecording(folder, count, now));
    }

    const double recording = Median(recordings);
    const double stdio = Median(stdioWrites);
    std::printf("%6u connections  recording %9.2f ms  stdio %8.2f ms  ratio %5.2f  "
                "(clog.dat %u bytes, clog.htm %u bytes)\n",
                count, recording, stdio, recording / stdio, static_cast<unsigned>(clogDat.size()),
                static_cast<unsigned>(clogHtm.size()));
    std::fflush(stdout);
    RemoveFolder(folder);
}

// A checkpoint as the log writes it a minute into a connection.
double TimeCheckpoint(const CRunningCheckpoint& checkpoint, TIME64 now) {
    const Stopwatch watch;
    checkpoint.Write(CConnectionInfo(now - 60, 60, 1048576, 524288));
    return watch.Milliseconds();
}

void MeasureCheckpoint() {
    const std::string folder = NewFolder();
    const TIME64 now = Clock::Now();
    WriteRecentMonthTotals(folder, now);
    CRunningCheckpoint checkpoint;
    checkpoint.SetPath(folder + "clog.run");
    std::vector<double> writes, plain, withCheckpoints;
    for (int run = 0; run < RUNS; ++run) {
        writes.push_back(TimeCheckpoint(checkpoint, now));
        plain.push_back(TimeRecording(folder, 100, now));
        withCheckpoints.push_back(TimeRecording(folder, 100, now, 60));
    }
    std::printf("checkpoint: one write of clog.run %6.2f ms; one recording with 100 connections "
                "%6.2f ms, %6.2f ms with checkpoints on\n",
                Median(writes), Median(plain), Median(withCheckpoints));
    std::fflush(stdout);
    RemoveFolder(folder);
}

} // namespace

int main() {
    std::setlocale(LC_ALL, "");
    fw::SetMessageBoxHandler([](const std::string& text, unsigned) {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        return IDOK;
    });
    std::printf("one recording vs. plain stdio writing the same clog.dat and clog.htm, median of "
                "%d runs\n",
                RUNS);
    for (unsigned count : {100u, 10000u, 65535u})
        Measure(count);
    MeasureCheckpoint();
    return 0;
}
