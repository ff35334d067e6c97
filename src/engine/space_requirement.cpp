// The disk check's arithmetic.
#include "engine/space_requirement.h"

uint32_t FreeKBFromGeometry(uint32_t bytesPerSector, uint32_t sectorsPerCluster,
                            uint32_t freeClusters) {
  // At most 2^32 * 2^32 * 2^32 bytes would overflow: the product of the three stays below
  // 2^64 for any drive whose cluster is below 4 GiB, so the cluster is formed first.
  const uint64_t clusterBytes = uint64_t(bytesPerSector) * sectorsPerCluster;
  const uint64_t clusterKB = clusterBytes / KB;
  const uint64_t kb = clusterKB * freeClusters + (clusterBytes % KB) * freeClusters / KB;
  return kb < FREE_SPACE_MAX_KB ? static_cast<uint32_t>(kb) : FREE_SPACE_MAX_KB;
}

uint32_t ClusterKBFromGeometry(uint32_t bytesPerSector, uint32_t sectorsPerCluster) {
  const uint64_t kb = (uint64_t(bytesPerSector) * sectorsPerCluster + KB - 1) / KB;
  if (kb == 0) return 1;
  return kb < 0xFFFFFFFFu ? static_cast<uint32_t>(kb) : 0x80000000u;
}

SpaceRequirement::SpaceRequirement(uint32_t clusterKB) : cluster(KB) {
  // Padding clears the low bits, so the cluster is taken as the power of two at or above it.
  while (cluster < uint64_t(clusterKB) * KB) cluster <<= 1;
}

uint64_t SpaceRequirement::Padded(uint32_t bytes) const {
  return (bytes + cluster - 1) & ~(cluster - 1);
}

void SpaceRequirement::CountLargest(uint32_t size) {
  const uint64_t padded = Padded(size);
  if (padded > largest) largest = padded;
}

void SpaceRequirement::AddNewFile(uint32_t size) { needed += Padded(size); }

void SpaceRequirement::AddReplacedFile(uint32_t size, uint32_t existingSize) {
  const uint64_t padded = Padded(size);
  const uint64_t existing = Padded(existingSize);
  if (padded > existing) needed += padded - existing;
}

uint64_t SpaceRequirement::TotalKB() const { return (largest + needed) / KB; }

bool SpaceRequirement::FitsIn(uint32_t freeKB) const {
  return freeKB == FREE_SPACE_UNKNOWN || TotalKB() < freeKB;
}
