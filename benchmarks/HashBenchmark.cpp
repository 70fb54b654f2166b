// korrimat_bench_hash: a large file's hashes through Korrimat's code (HashesOfFile, what the
// Hashes page and korrimat-report --hash run) against a floor that reads the same file in the same
// 1 MiB blocks with ReadFile and feeds the same BCrypt hashes itself: the four the page shows at
// once, then the SHA-256 alone. Beside them the speed in MiB/s, and the memory the hashing adds to
// the process, which must not grow with the file.
//
//   korrimat_bench_hash --file PATH [--rounds R]
//
// run.sh makes the file (1 GiB of random bytes) once, from the Linux side.

#include "benchmarks/BenchSupport.h"
#include "platform/FileDigest.h"
#include "platform/FileSystem.h"
#include "platform/UniqueHandle.h"
#include "platform/Worker.h"

#include <bcrypt.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

using namespace korrimat;
using namespace korrimat::bench;

namespace {

constexpr double kTarget = 1.1;
constexpr std::size_t kBlock = 1 << 20;  // the product's piece


// One BCrypt hash, made as any program makes it.
struct BareHash {
    UniqueCryptoAlgorithm algorithm;
    UniqueCryptoHash hash;
    std::size_t length = 0;
};

std::vector<BareHash> OpenBareHashes(std::span<const HashAlgorithm> algorithms)
{
    std::vector<BareHash> hashes;
    for (const HashAlgorithm algorithm : algorithms) {
        BareHash& bare = hashes.emplace_back();
        bare.length = KindOf(algorithm).digits / 2;
        BCRYPT_ALG_HANDLE provider = nullptr;
        if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&provider, BCryptAlgorithmId(algorithm), nullptr, 0)))
            return {};
        bare.algorithm.Reset(provider);
        BCRYPT_HASH_HANDLE hash = nullptr;
        if (!BCRYPT_SUCCESS(::BCryptCreateHash(provider, &hash, nullptr, 0, nullptr, 0, 0)))
            return {};
        bare.hash.Reset(hash);
    }
    return hashes;
}

// The floor: the file read in 1 MiB blocks, each block fed to every hash. Returns the bytes read
// plus the last digest's first byte, so that nothing is left out; 0 when something failed.
std::uint64_t BareHashesOf(const std::string& path, std::span<const HashAlgorithm> algorithms)
{
    std::vector<BareHash> hashes = OpenBareHashes(algorithms);
    const UniqueFile file(::CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (hashes.empty() || !file)
        return 0;
    std::vector<BYTE> block(kBlock);
    std::uint64_t total = 0;
    DWORD read = 0;
    while (::ReadFile(file.Get(), block.data(), static_cast<DWORD>(block.size()), &read, nullptr) && read != 0) {
        for (BareHash& bare : hashes) {
            if (!BCRYPT_SUCCESS(::BCryptHashData(bare.hash.Get(), block.data(), read, 0)))
                return 0;
        }
        total += read;
    }
    std::vector<BYTE> digest;
    for (BareHash& bare : hashes) {
        digest.assign(bare.length, 0);
        if (!BCRYPT_SUCCESS(::BCryptFinishHash(bare.hash.Get(), digest.data(), static_cast<ULONG>(digest.size()), 0)))
            return 0;
    }
    return total + digest.front();
}

// Korrimat's code: one read, every hash. Returns the like of the floor's value.
std::uint64_t ProductHashesOf(const std::string& path, std::span<const HashAlgorithm> algorithms)
{
    const FileDigest digest = HashesOfFile(SystemPlatform().Contents(), path, algorithms, nullptr, {});
    if (digest.outcome != FileDigest::Outcome::Done)
        return 0;
    return digest.values.size() + digest.hex.size();
}

PROCESS_MEMORY_COUNTERS MemoryCounters()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    return counters;
}

// The most private bytes and working set the process held while `work` ran, above what it held
// before, sampled every few milliseconds on a thread of their own (started before the first
// measure, so that its own stack is not counted).
struct MemoryPeak {
    std::size_t privateBytes = 0;
    std::size_t workingSet = 0;
};

template <typename Work>
MemoryPeak PeakDuring(Work&& work)
{
    std::atomic<std::size_t> privatePeak = 0;
    std::atomic<std::size_t> workingSetPeak = 0;
    Worker sampler;
    const bool sampling = sampler.Start([&](HANDLE stop) {
        do {
            privatePeak = std::max<std::size_t>(privatePeak, PrivateBytes());
            workingSetPeak = std::max<std::size_t>(workingSetPeak, MemoryCounters().WorkingSetSize);
        } while (::WaitForSingleObject(stop, 5) == WAIT_TIMEOUT);
    });
    if (!sampling)
        std::printf("(no sampling thread: the memory figures are those before and after)\n");
    ::Sleep(50);
    const std::size_t privateBefore = PrivateBytes();
    const std::size_t workingSetBefore = MemoryCounters().WorkingSetSize;
    work();
    sampler.Stop();
    const std::size_t privateHeld = std::max<std::size_t>(privatePeak, PrivateBytes());
    const std::size_t workingSetHeld = std::max<std::size_t>(workingSetPeak, MemoryCounters().WorkingSetSize);
    return {privateHeld > privateBefore ? privateHeld - privateBefore : 0,
            workingSetHeld > workingSetBefore ? workingSetHeld - workingSetBefore : 0};
}

double MiB(std::size_t bytes)
{
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

struct Comparison {
    double productSeconds = 0;
    double floorSeconds = 0;
    double ratio = 0;  // the median of the rounds' own ratios
    bool right = true;
};

// `rounds` rounds of the product and the floor side by side, which goes first alternating.
Comparison Compare(const std::string& path, std::span<const HashAlgorithm> algorithms, int rounds)
{
    std::vector<double> product, floor, ratios;
    Comparison result;
    for (int round = 0; round < rounds; ++round) {
        double productTime = 0;
        double floorTime = 0;
        InTurns(
            round,
            [&] { productTime = Timed([&] { result.right = ProductHashesOf(path, algorithms) != 0 && result.right; }); },
            [&] { floorTime = Timed([&] { result.right = BareHashesOf(path, algorithms) != 0 && result.right; }); });
        product.push_back(productTime);
        floor.push_back(floorTime);
        ratios.push_back(productTime / floorTime);
    }
    result.productSeconds = Median(product);
    result.floorSeconds = Median(floor);
    result.ratio = Median(ratios);
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = IntOption(argc, argv, "--rounds", 5);
    const std::string path = TextOption(argc, argv, "--file", "");
    const std::optional<WIN32_FIND_DATAA> entry = path.empty() ? std::nullopt : FindFirstEntry(path);
    if (!entry) {
        std::printf("no file to hash: give one with --file PATH (run.sh makes one of 1 GiB)\n");
        return 2;
    }
    const std::uint64_t size = (std::uint64_t{entry->nFileSizeHigh} << 32) | entry->nFileSizeLow;
    const double mebibytes = static_cast<double>(size) / (1024.0 * 1024.0);

    const HashAlgorithm four[] = {HashAlgorithm::Md5, HashAlgorithm::Sha1, HashAlgorithm::Sha256, HashAlgorithm::Sha512};
    const HashAlgorithm sha256[] = {HashAlgorithm::Sha256};
    // Warm: the file's pages in the system's cache, the providers loaded.
    BareHashesOf(path, sha256);

    const MemoryPeak peak = PeakDuring([&] { ProductHashesOf(path, four); });
    std::printf("Hashing %s (%.0f MiB): Korrimat's HashesOfFile against ReadFile in 1 MiB blocks fed to\n"
                "the same BCrypt hashes. Median of %d rounds, which goes first alternating.\n",
                path.c_str(), mebibytes, rounds);
    std::printf("%-34s %10s %10s %8s %12s %12s\n", "hashes", "Korrimat s", "floor s", "ratio", "Korrimat MiB/s",
                "floor MiB/s");
    bool met = true;
    const std::pair<const char*, std::span<const HashAlgorithm>> cases[] = {{"MD5, SHA-1, SHA-256, SHA-512", four},
                                                                            {"SHA-256 alone", sha256}};
    for (const auto& [label, algorithms] : cases) {
        const Comparison compared = Compare(path, algorithms, rounds);
        met = met && compared.ratio <= kTarget;
        std::printf("%-34s %10.2f %10.2f %7.2fx %12.1f %12.1f%s\n", label, compared.productSeconds, compared.floorSeconds,
                    compared.ratio, mebibytes / compared.productSeconds, mebibytes / compared.floorSeconds,
                    compared.right ? "" : "  (a hashing failed!)");
    }
    std::printf("Target: at most %.2fx for each (median of the rounds' ratios): %s\n", kTarget, met ? "met" : "MISSED");

    const PROCESS_MEMORY_COUNTERS counters = MemoryCounters();
    std::printf("\nMemory while Korrimat hashed the four (peak above what the process held before):\n"
                "  private bytes +%.2f MiB, working set +%.2f MiB; the process's peak working set %.1f MiB\n",
                MiB(peak.privateBytes), MiB(peak.workingSet), MiB(counters.PeakWorkingSetSize));
    return 0;
}
