#include "datagen.h"
namespace gen {
void addHelpPicture(std::vector<Picture>&) {}
std::vector<Sound> makeSounds() { return {}; }
std::vector<float> makeMusic() { return {}; }
Bytes encodeMp3(const std::vector<float>&, int) { return {}; }
}
