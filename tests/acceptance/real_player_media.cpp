#include "real_player_media.h"

#include "support/test_support.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>

namespace zuv::test {

namespace {

constexpr int kFramesPerSecond = 10;
constexpr int kSampleRate = 44100;
constexpr int kToneHertz = 441; // a period of 100 samples: one sample sits on each peak
constexpr int kAudioChannels = 2;

void Put32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xff);
}

void Put16(std::string& out, std::uint32_t value)
{
    out += static_cast<char>(value & 0xff);
    out += static_cast<char>((value >> 8) & 0xff);
}

std::uint32_t Get32(std::string_view in, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(in[at + static_cast<std::size_t>(i)]);
    return value;
}

std::string Chunk(std::string_view id, const std::string& body)
{
    std::string out(id);
    Put32(out, static_cast<std::uint32_t>(body.size()));
    out += body;
    if (body.size() % 2)
        out += '\0';
    return out;
}

std::string List(std::string_view type, const std::string& body)
{
    return Chunk("LIST", std::string(type) + body);
}

std::string StreamHeader(std::string_view type, std::string_view handler, std::uint32_t scale,
                         std::uint32_t rate, std::uint32_t length, std::uint32_t sampleSize)
{
    std::string h(type);
    h += handler;
    for (const std::uint32_t value : {0u, 0u, 0u, scale, rate, 0u, length, 0u, 0xffffffffu})
        Put32(h, value);
    Put32(h, sampleSize);
    Put32(h, 0);
    Put32(h, 0);
    return Chunk("strh", h);
}

} // namespace

std::string ClipBytes()
{
    const std::uint32_t frameBytes = kClipWidth * kClipHeight * 3 / 2;
    const int samplesPerFrame = kSampleRate / kFramesPerSecond;
    const std::uint32_t audioBytes = samplesPerFrame * kAudioChannels * 2;

    std::string avih;
    for (const std::uint32_t value :
         {1000000u / kFramesPerSecond, frameBytes * kFramesPerSecond, 0u, 0x10u,
          std::uint32_t{kFramesPerSecond}, 0u, 2u, frameBytes, std::uint32_t{kClipWidth},
          std::uint32_t{kClipHeight}, 0u, 0u, 0u, 0u})
        Put32(avih, value);

    std::string bitmap;
    for (const std::uint32_t value : {40u, std::uint32_t{kClipWidth}, std::uint32_t{kClipHeight}})
        Put32(bitmap, value);
    Put16(bitmap, 1);
    Put16(bitmap, 12);
    bitmap += "I420";
    Put32(bitmap, frameBytes);
    for (int i = 0; i < 4; ++i)
        Put32(bitmap, 0);

    std::string wave;
    Put16(wave, 1);
    Put16(wave, kAudioChannels);
    Put32(wave, kSampleRate);
    Put32(wave, kSampleRate * kAudioChannels * 2);
    Put16(wave, kAudioChannels * 2);
    Put16(wave, 16);

    const std::string header = List(
        "hdrl",
        Chunk("avih", avih) +
            List("strl", StreamHeader("vids", "I420", 1, kFramesPerSecond, kFramesPerSecond, 0) +
                             Chunk("strf", bitmap)) +
            List("strl", StreamHeader("auds", std::string(4, '\0'), 1, kSampleRate, kSampleRate,
                                      kAudioChannels * 2) +
                             Chunk("strf", wave)));

    std::string movi = "movi";
    std::string index;
    int sample = 0;
    for (int frame = 0; frame < kFramesPerSecond; ++frame) {
        // A picture that changes from frame to frame, in grey.
        std::string picture(kClipWidth * kClipHeight, static_cast<char>(40 + frame * 16));
        picture.append(frameBytes - picture.size(), static_cast<char>(128));
        std::string sound;
        for (int i = 0; i < samplesPerFrame; ++i, ++sample) {
            const double phase = 2.0 * std::numbers::pi * kToneHertz * sample / kSampleRate;
            const auto value =
                static_cast<std::int16_t>(std::lround(kToneAmplitude * std::sin(phase)));
            for (int channel = 0; channel < kAudioChannels; ++channel)
                Put16(sound, static_cast<std::uint16_t>(value));
        }
        for (const auto& [id, body] : {std::pair<std::string, std::string*>{"00dc", &picture},
                                       std::pair<std::string, std::string*>{"01wb", &sound}}) {
            index += id;
            Put32(index, 0x10);
            Put32(index, static_cast<std::uint32_t>(movi.size()));
            Put32(index, static_cast<std::uint32_t>(body->size()));
            movi += Chunk(id, *body);
        }
        (void)audioBytes;
    }
    const std::string body = "AVI " + header + Chunk("LIST", movi) + Chunk("idx1", index);
    return Chunk("RIFF", body);
}

std::string SubtitleBytes()
{
    return "1\r\n00:00:00,000 --> 00:00:01,000\r\nZuvora \xe1rv\xedzt\xfbr\xf5\r\n\r\n";
}

std::string ZipBytes(std::string_view name, std::string_view content)
{
    // CRC-32 of the content, as ZIP wants it.
    std::uint32_t crc = 0xffffffffu;
    for (const char c : content) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    crc = ~crc;
    const auto size = static_cast<std::uint32_t>(content.size());
    const auto nameSize = static_cast<std::uint32_t>(name.size());
    const auto common = [&](std::string& out) {
        Put16(out, 10); // version needed
        Put16(out, 0);  // flags
        Put16(out, 0);  // stored
        Put32(out, 0);  // time and date
        Put32(out, crc);
        Put32(out, size);
        Put32(out, size);
        Put16(out, nameSize);
        Put16(out, 0);
    };
    std::string zip = "PK\x03\x04";
    common(zip);
    zip += name;
    zip += content;
    const auto directoryStart = static_cast<std::uint32_t>(zip.size());
    std::string directory = "PK\x01\x02";
    Put16(directory, 20);
    common(directory);
    Put16(directory, 0); // comment
    Put16(directory, 0); // disk
    Put16(directory, 0); // internal attributes
    Put32(directory, 0); // external attributes
    Put32(directory, 0); // local header offset
    directory += name;
    zip += directory;
    zip += std::string("PK\x05\x06", 4);
    Put32(zip, 0);
    Put16(zip, 1);
    Put16(zip, 1);
    Put32(zip, static_cast<std::uint32_t>(directory.size()));
    Put32(zip, directoryStart);
    Put16(zip, 0);
    return zip;
}

std::optional<WavInfo> ReadWav(const std::string& path)
{
    const std::optional<std::string> file = ReadFile(path);
    if (!file || file->size() < 12 || file->compare(0, 4, "RIFF") != 0)
        return std::nullopt;
    const std::string_view data(*file);
    WavInfo info;
    int format = 0;
    int bits = 0;
    for (std::size_t at = 12; at + 8 <= data.size();) {
        const std::string_view id = data.substr(at, 4);
        // The player cannot always seek back to write the sizes: the file's own end counts.
        const std::size_t body = at + 8;
        const std::size_t size = std::min<std::size_t>(Get32(data, at + 4), data.size() - body);
        if (id == "fmt " && size >= 16) {
            format = static_cast<unsigned char>(data[body]) |
                     (static_cast<unsigned char>(data[body + 1]) << 8);
            // More than two channels come in the extensible form, with the format further on.
            if (format == 0xfffe && size >= 26)
                format = static_cast<unsigned char>(data[body + 24]);
            info.channels = static_cast<unsigned char>(data[body + 2]);
            bits = static_cast<unsigned char>(data[body + 14]);
        } else if (id == "data") {
            // 16-bit integers, or 32-bit floats (what the equalizer gives), scaled to 16 bits.
            const std::size_t step = static_cast<std::size_t>(bits / 8);
            if (!(format == 1 && bits == 16) && !(format == 3 && bits == 32))
                return std::nullopt;
            for (std::size_t i = body; i + step <= body + size; i += step) {
                const std::uint32_t raw = step == 2
                                              ? static_cast<unsigned char>(data[i]) |
                                                    (static_cast<unsigned char>(data[i + 1]) << 8)
                                              : Get32(data, i);
                int magnitude = 0;
                if (step == 2) {
                    magnitude = std::abs(int{static_cast<std::int16_t>(raw)});
                } else {
                    float sample = 0;
                    std::memcpy(&sample, &raw, sizeof sample);
                    magnitude = static_cast<int>(std::lround(std::fabs(sample) * 32768.0));
                }
                info.peak = std::max(info.peak, magnitude);
            }
            return info;
        }
        at = body + size + (size % 2);
    }
    return std::nullopt;
}

std::vector<std::string> RefusalLines(std::string_view output)
{
    static constexpr std::string_view kRefusals[] = {
        "doesn't exist",
        "Error parsing option",
        "must be >=",
        "must be <=",
        "There can only be one",
        "Fatal error",
        "Could not find matching",
        "Unexpected decoder output",
        "Cannot find codec",
        "Couldn't open filter",
        "Error opening/initializing",
        "interrupted by signal",
        "Cannot load font",
        // mpv plays on without a filter it could not make, and ends with 0.
        "option not found",
        "Creating filter",
        "Disabling filter",
        "filter initialized failed",
        "No such filter",
        "failed to configure",
        "Can not open external file",
        "Setting commandline option",
    };
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = output.size();
        const std::string_view line = output.substr(start, end - start);
        for (const std::string_view refusal : kRefusals) {
            if (line.find(refusal) != std::string_view::npos) {
                lines.emplace_back(line);
                break;
            }
        }
        start = end + 1;
    }
    return lines;
}

std::string VideoOutputSize(std::string_view output)
{
    // MPlayer's "VO: [null] 160x64 => 160x64 Planar I420": the size after "=>"; mpv's
    // "VO: [null] 160x64 yuv420p": the size after the output's name.
    const std::size_t vo = output.find("VO: [");
    if (vo == std::string_view::npos)
        return {};
    const std::string_view line = output.substr(vo, output.find_first_of("\r\n", vo) - vo);
    const std::size_t arrow = line.find("=> ");
    const std::size_t name = line.find("] ");
    if (arrow == std::string_view::npos && name == std::string_view::npos)
        return {};
    const std::size_t start = vo + (arrow != std::string_view::npos ? arrow + 3 : name + 2);
    const std::size_t end = output.find(' ', start);
    return std::string(output.substr(start, end - start));
}

} // namespace zuv::test
