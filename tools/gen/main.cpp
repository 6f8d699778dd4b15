// Generates the game's data folder: zorbit_datagen <data folder> [review folder]
#include "datagen.h"

#include <chrono>
#include <cstdio>

using namespace gen;

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <data folder> [review folder]\n", argv[0]);
        return 2;
    }
    std::string dataDir = argv[1];
    auto started = std::chrono::steady_clock::now();
    auto lap = started;
    std::string timings;
    auto mark = [&](const char* what) {
        auto now = std::chrono::steady_clock::now();
        char buf[64];
        std::snprintf(buf, sizeof buf, " %s %.2f s", what, std::chrono::duration<double>(now - lap).count());
        timings += buf;
        lap = now;
    };
    int failures = 0;

    std::vector<Picture> pictures;
    addBalloonPictures(pictures);
    addScenePictures(pictures);
    addNoticePictures(pictures);
    addHelpPicture(pictures);
    addSoundSignPictures(pictures);
    addHallPictures(pictures);
    for (const Picture& p : pictures)
        if (!writeFile(dataDir + "/" + p.path, encodeBmp(toGameImage(p.art)))) {
            std::fprintf(stderr, "datagen: cannot write %s\n", p.path.c_str());
            failures++;
        }
    mark("pictures");

    for (const Sound& s : makeSounds())
        if (!writeFile(dataDir + "/sounds/" + s.name + ".wav", encodeWav(s.samples, kEffectRate, 1))) {
            std::fprintf(stderr, "datagen: cannot write %s.wav\n", s.name.c_str());
            failures++;
        }

    mark("sounds");
    std::vector<float> tune = makeMusic();
    mark("music");
    Bytes mp3 = encodeMp3(tune, kMusicRate);
    mark("mp3");
    if (mp3.empty() || !writeFile(dataDir + "/sounds/music.mp3", mp3)) {
        std::fprintf(stderr, "datagen: cannot make sounds/music.mp3\n");
        failures++;
    }

    if (argc > 2) {
        std::string review = argv[2];
        writeFile(review + "/contact-sheet.bmp", encodeBmp(toGameImage(makeContactSheet(pictures))));
        writeFile(review + "/start-mockup.bmp", encodeBmp(toGameImage(makeStartMockup(pictures))));
        mark("review");
    }
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("datagen: %zu pictures, sounds and music in %.2f s (%s)\n", pictures.size(), secs, timings.c_str() + 1);
    return failures == 0 ? 0 : 1;
}
