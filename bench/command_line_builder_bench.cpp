#include "playback/command_line_builder.h"

#include <benchmark/benchmark.h>

using namespace zuv;

namespace {

Options WorkedExample()
{
    Options options;
    options.Parameters = "-speed 1.5 -vf flip";
    options.Fullscreen = true;
    options.CustomVolume = true;
    options.Volume = 128;
    options.Normalize = true;
    options.ExtraStereo = true;
    options.ExtraStereoVal = 25;
    options.EmulateSubwoofer = true;
    options.SetChannels = true;
    options.Channels = 2;
    options.PostProcessing = true;
    options.PanScan = true;
    options.PanScanValue = 49;
    options.Expand = true;
    options.OnTop = true;
    options.Font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    options.SetFontScale = true;
    options.FontScale = SubFontScaleFromPosition(4);
    options.SubfontOutline = true;
    options.SubfontBlur = true;
    return options;
}

// The probe answers at once with a real report, so only building is measured.
const std::string kReport = "MPlayer UNKNOWN-12 (C) 2000-2023 MPlayer Team\n"
                            "ID_VIDEO_ID=0\nID_FILENAME=/films/Egy film.avi\n"
                            "ID_VIDEO_FORMAT=XVID\nID_VIDEO_BITRATE=0\n"
                            "ID_VIDEO_WIDTH=720\nID_VIDEO_HEIGHT=304\n"
                            "ID_VIDEO_FPS=25.000\nID_VIDEO_ASPECT=2.3684\nID_EXIT=EOF\n";

void BuildWorkedExample(benchmark::State& state, PlayerDialect dialect)
{
    const Options options = WorkedExample();
    const ProbeFunction probe = [](const std::string&) { return std::optional(kReport); };
    for (auto _ : state) {
        std::string text =
            BuildOptionsText(options, false, "/films/Egy film.avi", {1024, 768}, probe, dialect);
        benchmark::DoNotOptimize(text);
    }
}

void BuildOptionsTextClassic(benchmark::State& state)
{
    BuildWorkedExample(state, PlayerDialect::Classic);
}

void BuildOptionsTextCurrent(benchmark::State& state)
{
    BuildWorkedExample(state, PlayerDialect::Current);
}

} // namespace

BENCHMARK(BuildOptionsTextClassic);
BENCHMARK(BuildOptionsTextCurrent);
