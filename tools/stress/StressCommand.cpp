#include "tools/stress/StressCommand.h"

#include "tools/hosting/ExitCodes.h"
#include "tools/stress/StressSession.h"

int StressCommand::run(const StressOptions& options) {
    StressSession session(options);
    int status = session.load();
    if (status != kExitDone)
        return status;
    session.run();
    session.figures().print();
    return kExitDone;
}
