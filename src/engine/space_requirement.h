// The arithmetic of the disk check: file sizes in whole clusters, the space a table needs
// and the free space of a drive, in KB. Counted in 64 bits: drives of a TiB and more, and
// tables whose sizes add up past 4 GiB, keep their meaning.
#pragma once

#include <cstdint>

constexpr uint32_t KB = 1024;
// The free space of a drive that could not be asked.
constexpr uint32_t FREE_SPACE_UNKNOWN = 0xFFFFFFFFu;
// Free space is reported up to this many KB (4 TiB less 2 KB): "at least" beyond it.
constexpr uint32_t FREE_SPACE_MAX_KB = FREE_SPACE_UNKNOWN - 1;
// The cluster size assumed for a drive that could not be asked.
constexpr uint32_t DEFAULT_CLUSTER_KB = 32;

// Free KB from GetDiskFreeSpace's answer, capped at FREE_SPACE_MAX_KB.
uint32_t FreeKBFromGeometry(uint32_t bytesPerSector, uint32_t sectorsPerCluster,
                            uint32_t freeClusters);
// Cluster size in whole KB, any part of a KB counting as a whole one; at least 1.
uint32_t ClusterKBFromGeometry(uint32_t bytesPerSector, uint32_t sectorsPerCluster);

class SpaceRequirement {
 public:
  explicit SpaceRequirement(uint32_t clusterKB);
  // bytes brought up to whole clusters.
  uint64_t Padded(uint32_t bytes) const;
  // Every record's size counts towards the largest file, which is needed once more (the
  // temporary file beside its target).
  void CountLargest(uint32_t size);
  void AddNewFile(uint32_t size);
  // A file that grows needs its growth; one that shrinks gives nothing back.
  void AddReplacedFile(uint32_t size, uint32_t existingSize);
  // The largest file in whole clusters plus what the files need, in whole KB (truncated).
  uint64_t TotalKB() const;
  // True when freeKB is unknown or more than TotalKB: equal is not enough.
  bool FitsIn(uint32_t freeKB) const;

 private:
  uint64_t cluster;  // bytes, a power of two
  uint64_t needed = 0;
  uint64_t largest = 0;
};
