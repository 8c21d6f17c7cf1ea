#include "alarmsound.h"
#include "modules.h"

namespace {

class Sound final : public SoundModule
{
public:
    void playWaveToEnd(const QString &path) override { ::playWaveToEnd(path); }
};

} // namespace

SoundModule *worktallySoundModule()
{
    static Sound module;
    return &module;
}
