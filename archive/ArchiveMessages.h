#pragma once
// The archive's messages, each word for word as the user reads it.
#include <cstdint>
#include <string>

namespace kelvarox::archive::msg {

inline std::string NoArchive(const std::string& name) {
    return "No archive at " + name + " (kelvarox-cli archive add makes one)";
}
inline std::string CannotOpen(const std::string& name, const std::string& reason) {
    return "Cannot open the archive " + name + ": " + reason;
}
inline std::string CannotConnect(const std::string& name, const std::string& reason) {
    return "Cannot connect to the archive " + name + ": " + reason;
}
inline std::string Failed(const std::string& name, const std::string& reason) {
    return "The archive " + name + " failed: " + reason;
}
inline std::string Abandoned(const std::string& name) {
    return "The archive " + name + " was given up while it was waited for";
}
inline std::string NewerSchema(const std::string& name, int64_t version, int64_t known) {
    return "The archive " + name + " has schema version " + std::to_string(version) +
           ", newer than this Kelvarox knows (" + std::to_string(known) + "); it was left as it is";
}
inline std::string OlderSchema(const std::string& name, int64_t version) {
    return "The archive " + name + " has schema version " + std::to_string(version) +
           "; kelvarox-cli archive add brings it up to date";
}
inline std::string ForeignDatabase(const std::string& name) {
    return "The database " + name + " holds tables of another program and no Kelvarox archive; it was left as it is";
}
inline std::string Refused(const std::string& reason) { return "the archive refused the block: " + reason; }
inline std::string Damaged(const std::string& sha256) {
    return "the stored bytes do not match their SHA-256 " + sha256 + "; the block is damaged";
}
inline std::string StatisticsDiffer(const std::string& channel, int64_t orbit) {
    return "the orbit statistics of channel " + channel + " in orbit " + std::to_string(orbit) +
           " differ from its stored blocks";
}
inline std::string NotSure(int64_t orbit, int32_t gapDays) {
    const std::string before = gapDays == 0 ? "the block before it is of the same day"
                                            : "the block before it is " + std::to_string(gapDays) + " days earlier";
    return "orbit " + std::to_string(orbit) + " is not sure (" + before + "); kelvarox-cli archive set-orbit fixes it";
}
inline std::string Outlier(int64_t orbit) {
    return "orbit " + std::to_string(orbit) +
           " is not sure (its date and orbit byte disagree with the blocks around it, so it was placed on its own); "
           "kelvarox-cli archive set-orbit fixes it";
}
inline std::string ManyOutliers(int64_t count) {
    return std::to_string(count) +
           " blocks disagree in date and orbit byte with the blocks around them and were placed on their own, not "
           "sure: an archive holds the blocks of one satellite";
}
inline std::string NoSuchBlock(const std::string& what) { return "No block of the archive matches " + what; }
inline std::string SeveralBlocks(const std::string& what) { return "Several blocks of the archive match " + what; }
inline std::string OrbitOutOfRange(int64_t orbit, int64_t last) {
    return "Orbit " + std::to_string(orbit) + " is out of range (0 to " + std::to_string(last) + ")";
}
inline std::string OrbitByteMismatch(int64_t orbit, int32_t byte) {
    return "Orbit " + std::to_string(orbit) + " does not end in the block's orbit byte " + std::to_string(byte) +
           " (orbit mod 256 must be " + std::to_string(byte) + ")";
}

}  // namespace kelvarox::archive::msg
