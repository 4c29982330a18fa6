// See PageSound.h. The sound library is opened with the dynamic loader, as the page plays its
// sound only where the system offers one; its few entries are declared here by their documented
// signatures. The chime is written on a thread of its own in slices of a tenth of a second, so a
// restart or the end of the process stops it at once.
#include "corvakit/PageSound.h"

#include <atomic>
#include <cmath>
#include <dlfcn.h>
#include <thread>

namespace corvakit {

namespace {

using Pcm = void;
using PcmOpen = int (*)(Pcm**, const char*, int, int);
using PcmSetParams = int (*)(Pcm*, int, int, unsigned, unsigned, int, unsigned);
using PcmWrite = long (*)(Pcm*, const void*, unsigned long);
using PcmRecover = int (*)(Pcm*, int, int);
using PcmEnd = int (*)(Pcm*);
using ErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
using SetErrorHandler = int (*)(ErrorHandler);

constexpr int kPlayback = 0;        // stream: playback
constexpr int kS16LittleEndian = 2; // sample format
constexpr int kInterleaved = 3;     // access: read/write, interleaved
constexpr unsigned kRate = 22050;
constexpr unsigned kChannels = 2;
constexpr unsigned kLatencyMicroseconds = 200000;
constexpr unsigned long kSliceFrames = kRate / 10;

// The sound library's messages (no device, no configuration) are not the page's to print.
void quiet(const char*, int, const char*, int, const char*, ...) {}

template <class F> F entry(void* library, const char* name) {
    return reinterpret_cast<F>(dlsym(library, name));
}

} // namespace

struct AlsaSound::State {
    void* library = nullptr;
    PcmOpen open = nullptr;
    PcmSetParams setParams = nullptr;
    PcmWrite write = nullptr;
    PcmRecover recover = nullptr;
    PcmEnd drop = nullptr;
    PcmEnd drain = nullptr;
    PcmEnd close = nullptr;
    std::thread player;
    std::atomic<bool> stop{false};
    bool started = false;

    void stopPlaying() {
        stop = true;
        if (player.joinable())
            player.join();
        stop = false;
    }

    void playChime() {
        Pcm* pcm = nullptr;
        if (open(&pcm, "default", kPlayback, 0) < 0)
            return;
        const QByteArray& samples = chime();
        const auto* frames = reinterpret_cast<const qint16*>(samples.constData());
        const unsigned long total = static_cast<unsigned long>(samples.size()) / (2 * kChannels);
        if (setParams(pcm, kS16LittleEndian, kInterleaved, kChannels, kRate, 1, kLatencyMicroseconds) >= 0) {
            for (unsigned long done = 0; done < total && !stop;) {
                const long written =
                    write(pcm, frames + done * kChannels, std::min(kSliceFrames, total - done));
                if (written < 0 && recover(pcm, int(written), 1) < 0)
                    break;
                if (written > 0)
                    done += static_cast<unsigned long>(written);
            }
            stop ? drop(pcm) : drain(pcm);
        }
        close(pcm);
    }
};

AlsaSound::AlsaSound(const char* library)
    : d_(std::make_unique<State>()) {
    d_->library = dlopen(library, RTLD_NOW | RTLD_LOCAL);
    if (!d_->library)
        return;
    d_->open = entry<PcmOpen>(d_->library, "snd_pcm_open");
    d_->setParams = entry<PcmSetParams>(d_->library, "snd_pcm_set_params");
    d_->write = entry<PcmWrite>(d_->library, "snd_pcm_writei");
    d_->recover = entry<PcmRecover>(d_->library, "snd_pcm_recover");
    d_->drop = entry<PcmEnd>(d_->library, "snd_pcm_drop");
    d_->drain = entry<PcmEnd>(d_->library, "snd_pcm_drain");
    d_->close = entry<PcmEnd>(d_->library, "snd_pcm_close");
    if (auto setHandler = entry<SetErrorHandler>(d_->library, "snd_lib_error_set_handler"))
        setHandler(&quiet);
    if (!available()) {
        dlclose(d_->library);
        d_->library = nullptr;
    }
}

AlsaSound::~AlsaSound() {
    if (!d_->library)
        return;
    if (d_->started)
        d_->stopPlaying();
    dlclose(d_->library);
}

bool AlsaSound::available() const {
    return d_->library && d_->open && d_->setParams && d_->write && d_->recover && d_->drop && d_->drain &&
           d_->close;
}

bool AlsaSound::started() const {
    return d_->started;
}

void AlsaSound::play() {
    if (!available())
        return;
    d_->stopPlaying();
    d_->started = true;
    d_->player = std::thread([state = d_.get()] { state->playChime(); });
}

const QByteArray& AlsaSound::chime() {
    // Two notes, a fifth apart, each fading out: 0.6 seconds in all.
    static const QByteArray samples = [] {
        const double notes[] = {880.0, 1318.5};
        const unsigned perNote = kRate * 3 / 10;
        QByteArray out;
        out.reserve(int(perNote * 2 * kChannels * 2));
        for (const double frequency : notes) {
            for (unsigned i = 0; i < perNote; ++i) {
                const double t = double(i) / kRate;
                const double level = 0.3 * std::exp(-6.0 * t) * std::sin(2.0 * M_PI * frequency * t);
                const auto sample = static_cast<qint16>(level * 32767.0);
                for (unsigned channel = 0; channel < kChannels; ++channel)
                    out.append(reinterpret_cast<const char*>(&sample), sizeof sample);
            }
        }
        return out;
    }();
    return samples;
}

namespace {

std::unique_ptr<PageSound>& installed() {
    static std::unique_ptr<PageSound> sound = std::make_unique<AlsaSound>();
    return sound;
}

// Made when the library is loaded, so the sound library is looked up then, and destroyed
// (stopping a chime) when it is unloaded.
[[maybe_unused]] const bool kLookedUpAtLoad = (installed(), true);

} // namespace

PageSound& pageSound() {
    return *installed();
}

void setPageSound(std::unique_ptr<PageSound> sound) {
    installed() = sound ? std::move(sound) : std::make_unique<AlsaSound>();
}

} // namespace corvakit
