#include "viewer/outputs/run_summary.h"

#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <numeric>

#include "common/units.h"
#include "viewer/view_options.h"

namespace {

std::string Format(const char* format, auto... values) {
  char text[256];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

std::string Counted(long long value) { return value < 0 ? std::string("not counted") : std::to_string(value); }

const char* TransmitText(int state) {
  switch (state) {
    case 0: return "off";
    case 1: return "standby";
    case 2: return "transmitting";
    default: return "unknown";
  }
}

std::string Position(const PosType& position) {
  const double latitude = position.latitude / kRadiansPerDegree, longitude = position.longitude / kRadiansPerDegree;
  return Format("%.6f %.6f (%02d\u00B0%06.3f'%c %03d\u00B0%06.3f'%c)", latitude, longitude,
                static_cast<int>(std::fabs(latitude)), std::fmod(std::fabs(latitude), 1.0) * 60.0,
                latitude < 0 ? 'S' : 'N', static_cast<int>(std::fabs(longitude)),
                std::fmod(std::fabs(longitude), 1.0) * 60.0, longitude < 0 ? 'W' : 'E');
}

}  // namespace

double ProcessCpuSeconds() {
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return 0.0;
  const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// "/8.0" of "5.0/8.0 s", nothing for a run that lasts until it is stopped.
std::string Planned(const RunFigures& figures, const char* format) {
  return figures.plannedSeconds >= kServeForever ? std::string() : Format(format, figures.plannedSeconds);
}

std::string ProgressLine(const RunFigures& figures) {
  const int repaints = std::accumulate(figures.repaints.begin(), figures.repaints.end(), 0);
  return Format("%5.1f%s s  sweeps %s  turns %s  repaints %d  %s", figures.elapsedSeconds,
                Planned(figures, "/%.1f").c_str(), Counted(figures.sweeps).c_str(), Counted(figures.turns).c_str(), repaints,
                TransmitText(figures.transmitState));
}

std::string SummaryText(const RunFigures& figures, double cpuSeconds) {
  std::string text;
  text += Format("run: %.2f s, %d host rounds, %d late\n", figures.elapsedSeconds, figures.rounds, figures.lateRounds);
  if (figures.stopped) {
    const std::string by = figures.stopSignal ? std::string("SIG") + sigabbrev_np(figures.stopSignal) : "the host";
    text += Format("stopped: by %s after %.2f%s s\n", by.c_str(), figures.elapsedSeconds,
                   Planned(figures, " of %.2f").c_str());
  }
  text += "sweeps: " + Counted(figures.sweeps) + "\n";
  text += "turns: " + Counted(figures.turns) + "\n";
  for (std::size_t i = 0; i < figures.repaints.size(); ++i)
    text += Format("repaints of view %zu: %d (%.1f per second)\n", i + 1, figures.repaints[i],
                   figures.elapsedSeconds > 0 ? figures.repaints[i] / figures.elapsedSeconds : 0.0);
  text += Format("radar: %s, range %.3f NM\n", TransmitText(figures.transmitState), figures.rangeMiles);
  if (!figures.spokeStream.empty())
    text += "radar spokes: " + figures.spokeStream + ", lost " + Counted(figures.lostSpokes) + "\n";
  text += "own ship: " + Position(figures.ownShip) + "\n";
  text += "radar feature: " + figures.radarFeature + "\n";
  text += Format("cpu: %.2f s, %.0f%% of the run\n", cpuSeconds,
                 figures.elapsedSeconds > 0 ? 100.0 * cpuSeconds / figures.elapsedSeconds : 0.0);
  return text;
}
