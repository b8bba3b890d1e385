// The block file type as a file manager sees it: the shipped shared-MIME-info entry, read by
// Qt's MIME database from a data folder of the test's own.
#include <gtest/gtest.h>

#include <QMimeDatabase>
#include <cstdlib>
#include <filesystem>

#include "KelvaroxVersion.h"
#include "TestFiles.h"

using namespace kelvarox::testing;
namespace fs = std::filesystem;

TEST(BlockFileType, KnownByTheSignatureOrTheTlmNameOnly) {
    TempDir dir;
    const fs::path home = dir / "data";
    fs::create_directories(home / "mime/packages");
    const std::string entry = std::string(kelvarox::kApplicationId) + ".xml";
    fs::copy_file(fs::path(KELVAROX_SOURCE_DIR) / "dist" / entry, home / "mime/packages" / entry);
    // Before the database's first use: it reads the data folders once.
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    setenv("XDG_DATA_DIRS", (dir / "no-system-data").c_str(), 1);

    const fs::path samples = fs::path(KELVAROX_SOURCE_DIR) / "samples/telemetry";
    fs::copy_file(samples / "temperature-one-orbit.dat", dir / "renamed-block.bin");
    WriteText(dir / "notes.dat", "Some measurements, 512 bytes or not.\n");

    const QMimeDatabase db;
    auto typeOf = [&](const fs::path& path) {
        return db.mimeTypeForFile(QString::fromStdString(path.string())).name().toStdString();
    };
    const std::string block = "application/x-wod-block";
    EXPECT_EQ(typeOf(samples / "temperature-one-orbit.dat"), block);
    EXPECT_EQ(typeOf(samples / "SPIN.TLM"), block);
    EXPECT_EQ(typeOf(dir / "renamed-block.bin"), block);
    EXPECT_NE(typeOf(samples / "bad-signature.dat"), block);
    EXPECT_NE(typeOf(dir / "notes.dat"), block);
}
