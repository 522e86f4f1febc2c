#include "panels/SubDirProber.h"

#include <utility>

namespace qrv {

TSubDirProber::TSubDirProber(TProbe Probe, TResultsReady ResultsReady)
    : TBackgroundQueue(
          [probe = std::move(Probe)](const TProbeRequest& Request) {
              return TProbeResult{Request.NodeId, probe(Request)};
          },
          [](const TProbeRequest& Request) {
              return TProbeResult{Request.NodeId, true};
          },
          std::move(ResultsReady), L"probing a folder for subfolders")
{}

}  // namespace qrv
