#pragma once
// The runners of the headless commands, one file each. Each gets a started
// session and the parsed command line and returns the process exit status.
#include <string>
#include <string_view>

#include "app/form1korvane.h"
#include "cli/command_line.h"

namespace gasecu::cli {

// A path as the window's file dialog would return it: absolute and normal, for the
// curve file name rule counts the last ten characters of the full path.
std::string FullPath(const std::string& path);

// An output curve file (-o) checked before any port is opened: the window's name
// rule, not the default curve's name, and a folder that takes the file. Returns
// kExitFileError with the message in the language of the run, else kExitDone.
int CheckOutputFile(const Options& options, std::string& message);

int RunScan(HeadlessSession& session, const Options& options);
int RunLive(HeadlessSession& session, const Options& options);
int RunReadCurve(HeadlessSession& session, const Options& options);
// The read button once live values show, to the end of the read: kExitDone with
// the ECU's curve in the form, else kExitEcuSilent.
int ReadEcuCurve(HeadlessSession& session);
int ValidateReadCurve(const Options& options, std::string& message);
int RunWriteCurve(HeadlessSession& session, const Options& options);
// The exit status a curve write ended with (the write-curve command's, and the
// calibration upload's).
int CurveWriteExitStatus(Form1Korvane::CurveWriteOutcome outcome);
int ValidateWriteCurve(const Options& options, std::string& message);
int RunSettings(HeadlessSession& session, const Options& options);
int RunSet(HeadlessSession& session, const Options& options);
int ValidateSet(const Options& options, std::string& message);
std::string TakeAssignment(Options& options, std::string_view word);
int RunFaults(HeadlessSession& session, const Options& options);
int RunFactoryReset(HeadlessSession& session, const Options& options);
int ValidateFactoryReset(const Options& options, std::string& message);
int RunCalibrate(HeadlessSession& session, const Options& options);
int ValidateCalibrate(const Options& options, std::string& message);
// outputError: the cause when the results could not be written (kept if set).
int RunHistory(const Options& options, int* outputError);
int RunSync(const Options& options, int* outputError);
int RunServerInit(const Options& options, int* outputError);
int ValidateHistory(const Options& options, std::string& message);
std::string TakeHistoryWord(Options& options, std::string_view word);

}  // namespace gasecu::cli
