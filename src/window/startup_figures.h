#pragma once
// What start-up costs on the fitter's laptop: time since the process began and the
// memory it holds, read from /proc (Linux); -1 where that is not available.
namespace gasecu::qt {

double MillisecondsSinceProcessStart();
long ResidentKilobytes();

}  // namespace gasecu::qt
