#pragma once
// The per-orbit statistics the archive keeps beside its blocks (kelvarox_orbit_statistics): one
// row per channel and absolute orbit that holds samples of the channel, with the statistics of
// the finite translated values, the first and last start date of the blocks that reach the
// orbit, and the fingerprint of the translations in force over those dates. A row whose
// fingerprint is not the one a satellite definition gives for its dates is stale for that
// definition: readers recompute it from the blocks, and the next writer with that definition
// stores it anew.
//
// Every function here runs inside the caller's transaction, pages through what it reads (memory
// stays flat) and never runs a statement while another one is being read, which PostgreSQL
// does not allow on one connection.
#include <cstdint>
#include <functional>
#include <span>
#include <utility>
#include <vector>

#include "archive/Database.h"
#include "core/DatedTranslation.h"
#include "core/OrbitStatistics.h"
#include "core/SatelliteDefinition.h"

namespace kelvarox::archive {

// The fingerprints of the translations a channel's blocks get from a satellite definition, by
// their start date. Equal translations give equal fingerprints whatever else the entries say.
class TranslationFingerprints {
public:
    TranslationFingerprints(const SatelliteDefinition& satellite, int32_t channel);
    // Of the translations in force for blocks that start from `firstDay` to `lastDay`.
    uint64_t Of(int64_t firstDay, int64_t lastDay) const;

private:
    std::vector<std::pair<int64_t, uint64_t>> steps_;  // from a day on; the first from the beginning
};

// One fingerprint of every channel's translations: a writer whose satellite definition gives
// another than the one the rows were last brought up to date with refreshes the stale rows.
uint64_t SatelliteFingerprint(const SatelliteDefinition& satellite);

// A row of the table.
struct StoredOrbit {
    OrbitStatistics statistics;  // of the finite values; samples 0 when the orbit has none
    int64_t firstDay = 0;        // the first and last start date of the blocks that reach the orbit
    int64_t lastDay = 0;
    uint64_t fingerprint = 0;
};

// The statistics of `channel` in orbits `from` to `to`, computed from the stored blocks in time
// order, each block translated by the equation in force at its start date. `done` gets them a
// run at a time, in orbit order, with the orbits the run covers: every orbit from `lo` to `hi`
// that holds samples of the channel is in it. It may run statements of its own.
void ComputeFromBlocks(Database& db, int32_t channel, int64_t from, int64_t to, const SatelliteDefinition& satellite,
                       const std::function<void(std::span<const StoredOrbit>, int64_t lo, int64_t hi)>& done);

// The stored rows of `channel` from orbit `from` to `to`, in orbit order, a page at a time.
// `page` may run statements of its own.
void ForEachStoredPage(Database& db, int32_t channel, int64_t from, int64_t to,
                       const std::function<void(std::span<const StoredOrbit>)>& page);

// The stored rows of `channel` from orbit `from` to `to` in orbit order: those that are current
// for `fingerprints` one by one, the stale ones between them as runs (their first and last
// orbit). Both may run statements of their own.
void ForEachStoredRun(Database& db, int32_t channel, int64_t from, int64_t to,
                      const TranslationFingerprints& fingerprints,
                      const std::function<void(const StoredOrbit&)>& current,
                      const std::function<void(int64_t first, int64_t last)>& staleRun);

// Notes the orbits of the blocks a placement is about to move (those that kelvarox_placed moves),
// where they were and where they go, before it moves them.
void NoteOrbitsOfPlacedBlocks(Database& db);
// Recomputes the rows of the orbits noted and of the `stored` ones (those of the blocks stored
// in this transaction).
void UpdateChangedStatistics(Database& db, const SatelliteDefinition& satellite, std::span<const ChannelOrbits> stored);

// Recomputes the rows that are stale for `satellite`, unless the rows were last brought up to
// date with the same definition.
void RefreshStaleStatistics(Database& db, const SatelliteDefinition& satellite);

// Fills the table (new in this schema version) from the stored blocks.
void FillStatistics(Database& db, const SatelliteDefinition& satellite);

}  // namespace kelvarox::archive
