// Writes the program's wave files from a recipe: one line per file, the file name followed
// by notes "NAME:MS" (C4..B7 with an optional # or b, or "-" for a rest) played one after
// the other as soft sine tones. Lines starting with "#" are comments.
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int Rate = 22050;

// Frequency of a note name such as "A4", "C#5", "Bb3"; 0 for a rest, negative when unknown.
double Frequency(const std::string& note) {
    if (note == "-") return 0;
    static const int semitone[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G from C
    if (note.size() < 2 || note[0] < 'A' || note[0] > 'G') return -1;
    int s = semitone[note[0] - 'A'];
    size_t k = 1;
    if (note[k] == '#')
        ++s, ++k;
    else if (note[k] == 'b')
        --s, ++k;
    if (k + 1 != note.size() || note[k] < '0' || note[k] > '9') return -1;
    const int octave = note[k] - '0';
    const int fromA4 = s - 9 + (octave - 4) * 12;
    return 440.0 * std::pow(2.0, fromA4 / 12.0);
}

void Put16(std::ofstream& o, uint16_t v) {
    const char b[2] = {char(v & 0xff), char(v >> 8)};
    o.write(b, 2);
}
void Put32(std::ofstream& o, uint32_t v) {
    Put16(o, uint16_t(v & 0xffff));
    Put16(o, uint16_t(v >> 16));
}

bool WriteWave(const std::string& path, const std::vector<int16_t>& samples) {
    std::ofstream o(path, std::ios::binary);
    const uint32_t bytes = uint32_t(samples.size() * 2);
    o.write("RIFF", 4);
    Put32(o, 36 + bytes);
    o.write("WAVEfmt ", 8);
    Put32(o, 16);
    Put16(o, 1); // PCM
    Put16(o, 1); // mono
    Put32(o, Rate);
    Put32(o, Rate * 2);
    Put16(o, 2);
    Put16(o, 16);
    o.write("data", 4);
    Put32(o, bytes);
    for (int16_t s : samples)
        Put16(o, uint16_t(s));
    return bool(o);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: tervalis-sounds RECIPE OUTPUT_DIR\n";
        return 2;
    }
    std::ifstream recipe(argv[1]);
    if (!recipe) {
        std::cerr << argv[1] << ": cannot be read\n";
        return 1;
    }
    std::filesystem::create_directories(argv[2]);
    int errors = 0, lineNo = 0;
    std::string line;
    while (std::getline(recipe, line)) {
        ++lineNo;
        std::istringstream in(line);
        std::string name, note;
        if (!(in >> name) || name[0] == '#') continue;
        std::vector<int16_t> samples;
        while (in >> note) {
            const auto colon = note.find(':');
            const double f = Frequency(note.substr(0, colon));
            const int ms = colon == std::string::npos ? -1 : std::atoi(note.c_str() + colon + 1);
            if (f < 0 || ms <= 0 || ms > 5000) {
                std::cerr << argv[1] << ":" << lineNo << ": bad note " << note << "\n";
                ++errors;
                continue;
            }
            const int count = Rate * ms / 1000;
            const int fade = std::min(count / 4, Rate / 100); // 10 ms: no clicks
            for (int i = 0; i < count; ++i) {
                double a = 0.35 * std::exp(-2.5 * i / double(count)); // a plucked decay
                if (i < fade) a *= double(i) / fade;
                if (count - i < fade) a *= double(count - i) / fade;
                const double v = a * (std::sin(2 * M_PI * f * i / Rate) +
                                      0.25 * std::sin(4 * M_PI * f * i / Rate));
                samples.push_back(int16_t(std::lround(v * 32767 / 1.25)));
            }
        }
        if (samples.empty() ||
            !WriteWave((std::filesystem::path(argv[2]) / name).string(), samples)) {
            std::cerr << name << ": not written\n";
            ++errors;
        }
    }
    return errors == 0 ? 0 : 1;
}
