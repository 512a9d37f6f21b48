#include "download/HeldFile.h"

#include <cstring>
#include <vector>

namespace {

constexpr DWORD kReadBlockBytes = 64 * 1024;

// Reads the held file from its start to its end, block by block. The hold is
// a handle of its own, opened after the last write, so it starts at 0.
template <typename Consume>
bool ReadHeldFile(const UniqueFile& held, Consume consume) {
    std::vector<char> block(kReadBlockBytes);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(held.Get(), block.data(), kReadBlockBytes, &got, nullptr)) return false;
        if (got == 0) return true;
        if (!consume(block.data(), got)) return false;
    }
}

}  // namespace

UniqueFile CreateFileAfresh(const std::string& path) {
    // A file that cannot be deleted stays, and creating anew then fails.
    (void)::DeleteFileA(path.c_str());
    return UniqueFile(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
}

UniqueFile HoldWrittenFile(UniqueFile writer, const std::string& path) {
    // A hold that denies writing cannot open while our writer is open, and the
    // writer must close before the file can run or load. So a bridge opens
    // first, while the writer still shuts everyone else out: it has to share
    // writing (with our writer) but never deleting, so the name stays bound
    // to the file written. Then the writer closes and the hold opens. The hold
    // fails while anyone opened the file for writing in that moment; bytes
    // written and closed in that moment are caught by the comparison every
    // hold is followed by (the download's digest, the resource's bytes).
    UniqueFile bridge(::CreateFileA(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!bridge) return UniqueFile();
    writer.Reset();
    return UniqueFile(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool DigestOfHeldFile(const UniqueFile& held, Sha256Digest& digest) {
    Sha256 hash;
    if (!ReadHeldFile(held, [&hash](const char* bytes, DWORD size) {
            hash.Update(bytes, size);
            return true;
        })) {
        return false;
    }
    digest = hash.Digest();
    return true;
}

bool HeldFileHolds(const UniqueFile& held, const void* bytes, DWORD size) {
    const char* expected = static_cast<const char*>(bytes);
    DWORD compared = 0;
    const bool same = ReadHeldFile(held, [&](const char* block, DWORD got) {
        if (got > size - compared || std::memcmp(block, expected + compared, got) != 0) {
            return false;
        }
        compared += got;
        return true;
    });
    return same && compared == size;
}
