#include "ArchiveBackends.h"

#include <cstdio>

#include "PostgresCluster.h"

namespace kelvarox::testing {

namespace {

// Stops the cluster when the test program ends normally; the watchdog covers every other end.
class ClusterEnvironment : public ::testing::Environment {
public:
    void TearDown() override { PostgresCluster::StopIfStarted(); }
};
[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new ClusterEnvironment);

std::string Hex(int value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

}  // namespace

std::string FreshArchive(Backend backend, const TempDir& dir) {
    if (backend == Backend::Postgres) return PostgresCluster::Get().NewDatabase();
    return (dir / "archive.sqlite").string();
}

std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
    return info.param == Backend::Sqlite ? "SQLite" : "PostgreSQL";
}

std::vector<uint8_t> PassBlock(const TruePass& pass, const std::string& channel, int samples, int tag) {
    BlockRecipe recipe;
    recipe.startAmDay = recipe.endAmDay = std::to_string(pass.amDay);
    const int start = pass.ma / 4 * 4;
    const int end = start + 4 * (samples - 1);
    recipe.startOrbit = Hex(static_cast<int>(pass.orbit % 256), 2);
    recipe.startMA = Hex(start, 2);
    recipe.endOrbit = Hex(static_cast<int>((pass.orbit + end / 256) % 256), 2);
    recipe.endMA = Hex(end % 256, 2);
    recipe.maStep = "04";
    recipe.channel = channel;
    for (int i = 0; i < samples; ++i) recipe.samples.push_back(static_cast<uint8_t>((tag * 7 + i * 3) & 0xFF));
    recipe.samples[0] = static_cast<uint8_t>(tag & 0xFF);
    recipe.samples[1] = static_cast<uint8_t>((tag >> 8) & 0xFF);
    return BuildBlock(recipe);
}

}  // namespace kelvarox::testing
