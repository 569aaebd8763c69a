// The run log and the error log.
//
// The error log, "FSM_ERR.log", is meant for the user of a batch run: it lives
// in the folder given with /E, else in the current folder. The run log,
// "FSM.log" in the user's state folder, is a diagnostic trace that also gets a
// copy of every error-log line. Each line is written by one open, append and
// close, so nothing is held open between messages and a crash loses nothing
// already written; two processes may append to the same file.
//
// Control characters of a message are written escaped ("\n" and so on, see
// escapeControlCharacters), so one event is always one line and a file name
// cannot forge a line of its own.
//
// A log at a name that is a symbolic link is written only under the link rule
// of the atomic writer. Logging never fails for its caller: an error-log line
// that cannot be written is told on standard error, with its message; a
// run-log line is lost (a refused link is told once).
#pragma once

#include <string>
#include <string_view>

namespace tarvel {

// Appends "[<pid>:<thread id>|dd/mm/yyyy HH:MM:SS]:" + message + CR LF to the
// run log, creating its folder when missing. Both ids are upper-case hex.
void LogRun(std::string_view message);
// Appends "[dd/mm/yyyy HH:MM:SS]:" + message + CR LF to the error log, then
// writes the same message to the run log.
void LogError(std::string_view message);
// Deletes the run log when it exists.
void DeleteRunLog();

// The folder of the error log, as given with /E; empty means the current
// folder. Read at every write.
void SetErrorPath(std::string_view folder);
const std::string& ErrorPath();
// The error log's file name for the current error folder.
std::string ErrorLogPath();

// The run log's file: the override when one is set, else "FSM.log" in
// $XDG_STATE_HOME/tarvel (default ~/.local/state/tarvel), read at every write.
// Empty when no home folder is known.
std::string RunLogPath();
// Sends the run log to another file; the empty text restores the default.
void SetRunLogPath(std::string_view path);

// How many times LogError was called in this process, written or not: a batch
// run that logged any error ends with a failure status.
int ErrorLogCount();

}  // namespace tarvel
