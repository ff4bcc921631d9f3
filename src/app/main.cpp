// tessarin2: the arguments are joined with blanks into one command line; after the shell verbs are
// registered, a batch switch at its start runs that action and ends, anything else starts the editor.
#include "Startup.h"

int main(int argc, char** argv) {
    using namespace tessarin::app;
    const QString commandLine = commandLineOf(argc, argv);
    // Asking how to call the program changes nothing on the system.
    if (isHelpRequest(commandLine)) return printCommandLineHelp();
    // Ours alone: it undoes what start-up writes, so it runs before start-up writes it again.
    if (commandLine.startsWith("/unregister")) return unregisterDesktop(commandLine, argc, argv);
    // Every start, batch or not, registers the verbs before the command line is looked at.
    registerAtStartup();
    // Tested in this order; the first prefix that matches wins.
    const std::vector<BatchAction> actions = {
        {"/adddemo", addDemo},
        {"/convert2", convertLevel},
        {"/convert3", convertLevel},
        {"/view", viewLevel},
    };
    if (const BatchAction* action = matchBatchAction(commandLine, actions))
        return action->run(commandLine, argc, argv);
    return runEditor(commandLine, argc, argv);
}
