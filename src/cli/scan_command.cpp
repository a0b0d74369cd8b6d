// gasecu scan: the connect button's port scan, and nothing after it.
#include "cli/commands.h"
#include "cli/headless_session.h"

namespace gasecu::cli {

int RunScan(HeadlessSession& session, const Options&) {
    const int status = session.connect(false);
    session.exit();
    if (status != kExitDone) return status;
    // "COM4 /dev/ttyUSB0": the window's port number, then the device behind it.
    const std::string port = "COM" + std::to_string(session.foundPort());
    const std::string device = session.foundDevice();
    session.result(device.empty() || device == port ? port : port + " " + device);
    return kExitDone;
}

}  // namespace gasecu::cli
