// gasecu scan: the connect button's port scan, and nothing after it.
#include "cli/commands.h"
#include "cli/headless_session.h"

namespace gasecu::cli {

int RunScan(HeadlessSession& session, const Options&) {
    const int status = session.connect(false);
    session.exit();
    if (status != kExitDone) return status;
    const std::string port = std::to_string(session.foundPort());
    session.result("COM" + port + " " + session.foundDevice());
    return kExitDone;
}

}  // namespace gasecu::cli
