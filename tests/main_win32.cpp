// The cases on the real Win32: a console with a real console window from
// the system's console host, for the plug-in to draw over. GoogleTest
// reports to the output the program was started with.
//
// The settings' registry keys are saved before the first case and put back
// after the last, and first of all after a run that was killed: the save
// file beside the test kit stays until they are back.
//
// --console-host answers "classic" (exit code 0) or "pseudo console" (2),
// for run-tests.cmd to decide whether to start itself again in conhost.
// --summary shows the last line of the kit's log and exits with 0 when no
// case failed; a log without one gets a line that says the run ended early.
// --kit runs as the test kit: in the console it was started in when that is
// a classic one, with a log (tickrail-tests.log beside the kit's folder)
// that begins with the machine and ends with "windows: N passed, N failed".
#include <gtest/gtest.h>

#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include "kit_win32.h"
#include "plugin/version.h"

namespace {

const int PseudoConsoleExitCode = 2;

// For the check that a killed run is mended by the next start: the program
// ends abruptly, as a kill would, once this many cases have ended.
const char EndAfterVariable[] = "TICKRAIL_TESTS_END_AFTER";

class EndAbruptly : public ::testing::EmptyTestEventListener {
public:
    explicit EndAbruptly(int cases) : left(cases) {}
    void OnTestEnd(const ::testing::TestInfo&) override {
        if (--left == 0) TerminateProcess(GetCurrentProcess(), 3);
    }

private:
    int left;
};

std::wstring FullPath(const std::wstring& path) {
    WCHAR full[MAX_PATH];
    DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return length && length < MAX_PATH ? std::wstring(full, length) : path;
}

bool TakeFlag(int* argc, char** argv, const char* flag) {
    for (int i = 1; i < *argc; i++) {
        if (strcmp(argv[i], flag) != 0) continue;
        for (int j = i; j < *argc; j++) argv[j] = argv[j + 1];
        --*argc;
        return true;
    }
    return false;
}

const char SummaryStart[] = "windows: ";

int ShowSummary(const std::wstring& logFile) {
    std::string log, last;
    HANDLE file = CreateFileW(logFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    char buffer[4096];
    DWORD read = 0;
    while (file != INVALID_HANDLE_VALUE && ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read)
        log.append(buffer, read);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    while (!log.empty() && (log.back() == '\n' || log.back() == '\r')) log.pop_back();
    last = log.substr(log.find_last_of('\n') == std::string::npos ? 0 : log.find_last_of('\n') + 1);
    if (last.compare(0, strlen(SummaryStart), SummaryStart) != 0) {
        last = std::string(SummaryStart) + "the test program ended before its summary";
        file = CreateFileW(logFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
        std::string line = "\r\n" + last + "\r\n";
        DWORD written;
        if (file != INVALID_HANDLE_VALUE) {
            WriteFile(file, line.data(), DWORD(line.size()), &written, nullptr);
            CloseHandle(file);
        }
    }
    puts(last.c_str());
    return last.find(" passed, 0 failed") == std::string::npos;
}

std::string Summary(const ::testing::UnitTest& run) {
    std::string line = "windows: " + std::to_string(run.successful_test_count()) + " passed, " +
                       std::to_string(run.failed_test_count()) + " failed";
    if (run.skipped_test_count()) line += ", " + std::to_string(run.skipped_test_count()) + " skipped";
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && strcmp(argv[1], "--console-host") == 0) {
        bool pseudo = UnderPseudoConsole();
        puts(pseudo ? "pseudo console" : "classic");
        return pseudo ? PseudoConsoleExitCode : 0;
    }
    std::wstring kitFolder = FullPath(ProgramFolder() + L"..") + L"\\";
    if (argc == 2 && strcmp(argv[1], "--summary") == 0) return ShowSummary(kitFolder + L"tickrail-tests.log");
    ::testing::InitGoogleTest(&argc, argv);
    bool kit = TakeFlag(&argc, argv, "--kit");
    // The kit keeps a classic console it was started in (a console window of
    // its own, as run-tests.cmd makes sure); otherwise a console of its own.
    if (!kit || !GetConsoleWindow() || UnderPseudoConsole()) {
        FreeConsole();
        if (!AllocConsole() || !GetConsoleWindow()) {
            fprintf(stderr, "no console window: Wine needs an X display\n");
            return 1;
        }
    }
    if (kit) {
        if (!StartLog(kitFolder + L"tickrail-tests.log")) {
            fprintf(stderr, "cannot write tickrail-tests.log in the kit's folder\n");
            return 1;
        }
        SizeConsoleForCases();
        printf("Tickrail test kit %s (tickrail.dll %s)\n%s", TICKRAIL_VERSION_TEXT, TICKRAIL_FILE_VERSION_TEXT,
               MachineReport().c_str());
        printf("Writes: tickrail-tests.log, tickrail-tests.xml and, while it runs, "
               "tickrail-tests-settings.saved, in its own folder; changes the console's title, colours and size\n");
    }
    std::wstring savedKeys = kitFolder + L"tickrail-tests-settings.saved";
    std::string restored = RestoreSettingsKeys(savedKeys);
    if (!restored.empty()) printf("After a run that did not finish: %s", restored.c_str());
    printf("%s", SaveSettingsKeys(savedKeys).c_str());
    if (const char* endAfter = getenv(EndAfterVariable))
        ::testing::UnitTest::GetInstance()->listeners().Append(new EndAbruptly(atoi(endAfter)));

    int result = RUN_ALL_TESTS();

    printf("%s", RestoreSettingsKeys(savedKeys).c_str());
    if (kit) EndLog(Summary(*::testing::UnitTest::GetInstance()));
    return result;
}
