// The sound of the information page: a short chime of the library's own (two channels, 22050 Hz,
// 16 bits), played without waiting for it through the system's sound library, ALSA's
// libasound, which the library looks up when it is loaded. Each start restarts the chime. Without
// the sound library, or without a sound device, the page is silent; nothing else changes. When
// the library is unloaded (the end of the process) a chime still playing is stopped and the
// sound library let go.
#pragma once

#include "corvakit/CorvakitExport.h"

#include <QByteArray>
#include <memory>

namespace corvakit {

class CORVAKIT_EXPORT PageSound {
public:
    virtual ~PageSound() = default;
    // Starts the chime from its beginning; returns at once.
    virtual void play() = 0;
};

// The chime through libasound.
class CORVAKIT_EXPORT AlsaSound final : public PageSound {
public:
    // The sound library to look up (its file name, as the dynamic loader finds it).
    explicit AlsaSound(const char* library = "libasound.so.2");
    ~AlsaSound() override;
    AlsaSound(const AlsaSound&) = delete;
    AlsaSound& operator=(const AlsaSound&) = delete;

    // The sound library and its entries were found.
    bool available() const;
    // A chime has been started since the library was loaded.
    bool started() const;
    void play() override;

    // The chime as interleaved 16-bit samples, left and right.
    static const QByteArray& chime();

private:
    struct State;
    std::unique_ptr<State> d_;
};

// The page's sound: one per process, made when the library is loaded.
CORVAKIT_EXPORT PageSound& pageSound();
// Puts another sound in its place (tests); null puts the library's own back.
CORVAKIT_EXPORT void setPageSound(std::unique_ptr<PageSound> sound);

} // namespace corvakit
