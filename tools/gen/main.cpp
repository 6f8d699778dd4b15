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
    int failures = 0;

    std::vector<Picture> pictures;
    addBalloonPictures(pictures);
    addScenePictures(pictures);
    addNoticePictures(pictures);
    addHelpPicture(pictures);
    for (const Picture& p : pictures)
        if (!writeFile(dataDir + "/" + p.path, encodeBmp(toGameImage(p.art)))) {
            std::fprintf(stderr, "datagen: cannot write %s\n", p.path.c_str());
            failures++;
        }

    for (const Sound& s : makeSounds())
        if (!writeFile(dataDir + "/sounds/" + s.name + ".wav", encodeWav(s.samples, kEffectRate, 1))) {
            std::fprintf(stderr, "datagen: cannot write %s.wav\n", s.name.c_str());
            failures++;
        }

    Bytes mp3 = encodeMp3(makeMusic(), kMusicRate);
    if (mp3.empty() || !writeFile(dataDir + "/sounds/music.mp3", mp3)) {
        std::fprintf(stderr, "datagen: cannot make sounds/music.mp3\n");
        failures++;
    }

    if (argc > 2) {
        std::string review = argv[2];
        writeFile(review + "/contact-sheet.bmp", encodeBmp(toGameImage(makeContactSheet(pictures))));
        writeFile(review + "/start-mockup.bmp", encodeBmp(toGameImage(makeStartMockup(pictures))));
    }
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("datagen: %zu pictures, sounds and music in %.2f s\n", pictures.size(), secs);
    return failures == 0 ? 0 : 1;
}
