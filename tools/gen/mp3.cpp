#include "datagen.h"

#include <lame/lame.h>

#include <cmath>
#include <memory>

namespace gen {

Bytes encodeMp3(const std::vector<float>& stereo, int rate)
{
    std::unique_ptr<lame_global_flags, int (*)(lame_global_flags*)> lame(lame_init(), lame_close);
    if (!lame) return {};
    lame_set_in_samplerate(lame.get(), rate);
    lame_set_out_samplerate(lame.get(), rate);
    lame_set_num_channels(lame.get(), 2);
    lame_set_mode(lame.get(), JOINT_STEREO);
    lame_set_brate(lame.get(), 128);
    lame_set_quality(lame.get(), 7); // fast; plenty for a light tune at 128 kbit/s
    lame_set_bWriteVbrTag(lame.get(), 1); // the header that carries the delay and padding for gapless loops
    if (lame_init_params(lame.get()) < 0) return {};

    std::vector<short> pcm(stereo.size());
    for (size_t i = 0; i < stereo.size(); i++) pcm[i] = short(std::lround(std::clamp(stereo[i], -1.0f, 1.0f) * 32767.0f));
    int frames = int(pcm.size() / 2);
    Bytes out(size_t(1.25 * frames + 7200) + 16384);
    int n = lame_encode_buffer_interleaved(lame.get(), pcm.data(), frames, out.data(), int(out.size()));
    if (n < 0) return {};
    int m = lame_encode_flush(lame.get(), out.data() + n, int(out.size()) - n);
    if (m < 0) return {};
    out.resize(size_t(n + m));
    // The first frame was left for the header; fill it in now that the totals are known.
    uint8_t tag[4096];
    size_t tagSize = lame_get_lametag_frame(lame.get(), tag, sizeof tag);
    if (tagSize > 0 && tagSize <= out.size()) std::copy(tag, tag + tagSize, out.begin());
    return out;
}

} // namespace gen
