// The music start: the module is loaded from the executable's data, the sync
// points that drive the scene timeline are registered, and playback is started
// and paused at once, so the music waits for the title picture to resume it.
#include "music/start.h"

#include "assets/assets.h"
#include "driver/timeline.h"
#include "music/music.h"

void StartMusic() {
    // Length 0: the player takes the module's extent from its own headers, since
    // other data follows the module in memory.
    std::string address = std::to_string(reinterpret_cast<uintptr_t>(musicModule));
    MusicLoad(SOUND_SLOT, 1, address, 0, 0, MUSIC_LOOP);
    MusicSetSync(SOUND_SLOT, SYNC_ONETIME_POSITION, MakeLong(2, 0), OnMusicSync, SYNC_USER_SLIDE);
    MusicSetSync(SOUND_SLOT, SYNC_ONETIME_POSITION, MakeLong(4, 0), OnMusicSync, SYNC_USER_OBJECT);
    MusicSetSync(SOUND_SLOT, SYNC_ONETIME_POSITION, MakeLong(6, 0), OnMusicSync, SYNC_USER_TUNNEL);
    MusicSetSync(SOUND_SLOT, SYNC_INSTRUMENT, MakeLong(6, -1), OnMusicSync, SYNC_USER_BEAT);
    MusicPlay(SOUND_SLOT);
    MusicPause(SOUND_SLOT);
}
