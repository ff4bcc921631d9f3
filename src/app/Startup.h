#pragma once
// Start-up: the command line taken whole, the batch switches matched by prefix, or the editor.
#include <QString>
#include <functional>
#include <string>
#include <vector>

namespace tessarin::app {

// A batch action runs without the editor window and returns the process's exit code. It gets
// argc/argv so that an action that shows a window (the viewer) can make its own QApplication.
using BatchRun = std::function<int(const QString& commandLine, int& argc, char** argv)>;

struct BatchAction {
    QString prefix;  // compared with the first characters, case-sensitively
    BatchRun run;
};

// The arguments after the program name, joined with blanks into one command line.
QString commandLineOf(int argc, char** argv);

// What follows the first `switchLength` characters of the command line, as the bytes the system
// passed: a file name need not be UTF-8 text (names unpacked from old archives are often Latin-1),
// and decoding it would name a file that is not there. The batch actions take their paths so.
std::string switchPathBytes(int argc, char** argv, std::size_t switchLength);

// The first action whose prefix starts the command line, in table order; null for the editor.
const BatchAction* matchBatchAction(const QString& commandLine, const std::vector<BatchAction>& actions);

// Whether a batch failure is shown in a message box besides stderr: when a desktop action asked
// for it (registry::kBatchReportVariable) and a display is there to show it on.
bool batchFailureWindowWanted();

// "/adddemo PATH": reads the level and writes it back to the same file, with the demo data it
// already holds. Returns the exit code; a failure is reported (stderr, see batchFailureWindowWanted)
// and leaves the file as it was.
int addDemo(const QString& commandLine, int& argc, char** argv);

// "/convert2 PATH" and "/convert3 PATH": converts the TR4 level without a window and writes it beside
// the original with the ending "tr2". Returns the exit code; a failure is reported as for /adddemo.
int convertLevel(const QString& commandLine, int& argc, char** argv);

// "--help" or "-h" as the whole command line: the switches are printed on stdout and nothing else
// happens (no window, nothing registered). Returns the exit code.
bool isHelpRequest(const QString& commandLine);
int printCommandLineHelp();

// Start-up's registry steps, before the command line is looked at: the program's own keys, the
// shell verbs, then the desktop files that carry them; none when TESSARIN_NO_REGISTER is set.
void registerAtStartup();

// "/unregister": removes the desktop files start-up writes and prints each one removed.
int unregisterDesktop(const QString& commandLine, int& argc, char** argv);

// "/view PATH": the viewer window alone; closing it ends the program.
int viewLevel(const QString& commandLine, int& argc, char** argv);

// The path after "/open " when the command line asks the editor to open a level, else "".
QString openSwitchPath(const QString& commandLine);

// Shows the editor window (opening the "/open" path if given) and runs the event loop.
int runEditor(const QString& commandLine, int& argc, char** argv);

}  // namespace tessarin::app
