// Sync points. Ticks are recorded when they are decoded, but matched against
// the sync list only when their first sample is heard: a sync set or removed in
// the meantime (even from inside a sync procedure) then counts from that
// moment, and the procedure is always called without the player's lock held.
#include "player/player_internal.h"

#include <algorithm>
#include <new>
#include <vector>

TickRecord heardTick;
bool heardTickValid = false;
void (*tickDeliveredHook)(uint64_t stamp) = nullptr;

namespace {

struct Sync {
    uint32_t handle;
    uint32_t type;
    uint32_t param;
    SyncProcedure proc;
    uint32_t user;
};

struct Delivery {
    uint32_t handle;
    uint32_t data;
};

constexpr size_t MAX_SYNCS = 4096;

// Never destroyed, as the decoder's buffers; emptied with the song.
alignas(std::vector<Sync>) unsigned char syncsStorage[sizeof(std::vector<Sync>)];
std::vector<Sync> &syncs = *new (syncsStorage) std::vector<Sync>;
uint32_t nextHandle = 1;

std::vector<Sync>::iterator FindSync(uint32_t handle) {
    auto byHandle = [handle](const Sync &s) { return s.handle == handle; };
    return std::find_if(syncs.begin(), syncs.end(), byHandle);
}

uint32_t MakeLong(uint32_t low, uint32_t high) {
    return (low & 0xffff) | (high & 0xffff) << 16;
}

// Which syncs this tick sets off, decided before any procedure runs, so that
// a sync added by one of them sees only the ticks after this one.
void MatchTick(const TickRecord &r, std::vector<Delivery> *due) {
    for (const Sync &s : syncs) {
        uint32_t low = s.param & 0xffff, high = s.param >> 16;
        if ((s.type & ~SYNC_ONETIME) == SYNC_POSITION) {
            if (r.frame == 0 && r.order == low && r.row == high)
                due->push_back({s.handle, MakeLong(r.order, r.row)});
            continue;
        }
        for (int i = 0; i < r.count; i++) {
            const Trigger &t = r.triggers[i];
            if (t.instrument == low && (high == 0xffff || t.note == high))
                due->push_back({s.handle, t.note});
        }
    }
}

// Calls one procedure unless its sync was removed by an earlier one.
void Deliver(const Delivery &d) {
    SyncProcedure proc;
    uint32_t user;
    {
        std::lock_guard lock(playerLock);
        auto it = FindSync(d.handle);
        if (it == syncs.end())
            return;
        proc = it->proc;
        user = it->user;
        if (it->type & SYNC_ONETIME)
            syncs.erase(it);
    }
    proc(d.handle, d.data, user);
}

} // namespace

uint32_t SyncAdd(uint32_t type, uint32_t param, SyncProcedure proc, uint32_t user) {
    if (syncs.size() >= MAX_SYNCS)
        return 0;
    uint32_t handle = nextHandle++;
    if (nextHandle == 0)
        nextHandle = 1;
    syncs.push_back({handle, type, param, proc, user});
    return handle;
}

bool SyncRemove(uint32_t handle) {
    auto it = FindSync(handle);
    if (it == syncs.end())
        return false;
    syncs.erase(it);
    return true;
}

void SyncClear() {
    std::vector<Sync>().swap(syncs);
    heardTickValid = false;
}

void DeliverDue(uint64_t stampLimit) {
    thread_local std::vector<Delivery> due;
    for (;;) {
        due.clear();
        {
            std::lock_guard lock(playerLock);
            if (!PopTickRecord(stampLimit, &heardTick))
                return;
            heardTickValid = true;
            if (tickDeliveredHook)
                tickDeliveredHook(heardTick.stamp);
            MatchTick(heardTick, &due);
        }
        for (const Delivery &d : due)
            Deliver(d);
    }
}
