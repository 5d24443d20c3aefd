#include "emulator/module_check.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <type_traits>
#include <vector>

namespace {
constexpr bool k64Bit = sizeof(void*) == 8;
using Ehdr = std::conditional_t<k64Bit, Elf64_Ehdr, Elf32_Ehdr>;
using Phdr = std::conditional_t<k64Bit, Elf64_Phdr, Elf32_Phdr>;
using Shdr = std::conditional_t<k64Bit, Elf64_Shdr, Elf32_Shdr>;
constexpr unsigned char kClass = k64Bit ? ELFCLASS64 : ELFCLASS32;
constexpr unsigned char kByteOrder =
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? ELFDATA2LSB : ELFDATA2MSB;

// Reads exactly `bytes` at `offset`; false when the file ends first.
bool ReadAt(int fd, uint64_t offset, void* into, size_t bytes) {
    auto* at = static_cast<unsigned char*>(into);
    while (bytes > 0) {
        const ssize_t got = pread(fd, at, bytes, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throw std::runtime_error(std::string("cannot read it: ") + std::strerror(errno));
        }
        if (got == 0) {
            return false;
        }
        at += got;
        offset += static_cast<uint64_t>(got);
        bytes -= static_cast<size_t>(got);
    }
    return true;
}

// Where `count` entries of `size` bytes from `offset` end; the largest value
// when that is past any file.
uint64_t End(uint64_t offset, uint64_t count, uint64_t size) {
    uint64_t bytes = 0, end = 0;
    if (__builtin_mul_overflow(count, size, &bytes) ||
        __builtin_add_overflow(offset, bytes, &end)) {
        return std::numeric_limits<uint64_t>::max();
    }
    return end;
}

std::string Short(uint64_t size, uint64_t need) {
    return std::to_string(size) + (size == 1 ? " byte" : " bytes") + ", its headers need " +
           std::to_string(need);
}

std::string ClassName(unsigned char elfClass) {
    switch (elfClass) {
        case ELFCLASS32:
            return "32-bit";
        case ELFCLASS64:
            return "64-bit";
        default:
            return "of ELF class " + std::to_string(elfClass);
    }
}

std::string ByteOrderName(unsigned char byteOrder) {
    switch (byteOrder) {
        case ELFDATA2LSB:
            return "little-endian";
        case ELFDATA2MSB:
            return "big-endian";
        default:
            return "of ELF byte order " + std::to_string(byteOrder);
    }
}

// What is wrong with the identification and the fixed fields; empty if nothing.
std::string HeaderFault(const Ehdr& header, uint16_t machine) {
    const unsigned char* ident = header.e_ident;
    if (ident[EI_CLASS] != kClass) {
        return ClassName(ident[EI_CLASS]) + ", not " + ClassName(kClass) + " as this program";
    }
    if (ident[EI_DATA] != kByteOrder) {
        return ByteOrderName(ident[EI_DATA]) + ", not " + ByteOrderName(kByteOrder) +
               " as this program";
    }
    if (ident[EI_VERSION] != EV_CURRENT || header.e_version != EV_CURRENT) {
        return "ELF version " + std::to_string(ident[EI_VERSION]) + ", not " +
               std::to_string(EV_CURRENT);
    }
    if (header.e_type != ET_DYN) {
        return "not a shared object (ELF type " + std::to_string(header.e_type) + ")";
    }
    if (header.e_machine != machine) {
        return "built for machine " + std::to_string(header.e_machine) + ", not " +
               std::to_string(machine) + " as this program";
    }
    if (header.e_ehsize != sizeof(Ehdr)) {
        return "an ELF header of " + std::to_string(header.e_ehsize) + " bytes, not " +
               std::to_string(sizeof(Ehdr));
    }
    return {};
}
}  // namespace

std::string ModuleDamage(int fd, uint16_t machine) {
    struct stat status {};
    if (fstat(fd, &status) != 0) {
        throw std::runtime_error(std::string("cannot read it: ") + std::strerror(errno));
    }
    const uint64_t size = static_cast<uint64_t>(status.st_size);
    const std::string changed = "it changed while it was read";

    Ehdr header{};
    const size_t present = static_cast<size_t>(std::min<uint64_t>(size, sizeof header));
    if (!ReadAt(fd, 0, &header, present)) {
        return changed;
    }
    if (std::memcmp(header.e_ident, ELFMAG, std::min<size_t>(present, SELFMAG)) != 0) {
        return "not an ELF file";
    }
    if (present < sizeof header) {
        return Short(size, sizeof header);
    }
    if (std::string fault = HeaderFault(header, machine); !fault.empty()) {
        return fault;
    }

    uint64_t need = sizeof header;
    uint64_t programCount = header.e_phnum;
    // Counts too large for the header are kept in the first section header.
    if (header.e_shoff != 0) {
        if (header.e_shentsize != sizeof(Shdr)) {
            return "section headers of " + std::to_string(header.e_shentsize) +
                   " bytes each, not " + std::to_string(sizeof(Shdr));
        }
        Shdr first{};
        if (End(header.e_shoff, 1, sizeof first) > size) {
            return Short(size,
                         End(header.e_shoff, std::max<uint64_t>(header.e_shnum, 1), sizeof first));
        }
        if (!ReadAt(fd, header.e_shoff, &first, sizeof first)) {
            return changed;
        }
        const uint64_t sectionCount = header.e_shnum != 0 ? header.e_shnum : first.sh_size;
        if (programCount == PN_XNUM) {
            programCount = first.sh_info;
        }
        need = std::max(need, End(header.e_shoff, sectionCount, sizeof(Shdr)));
    }
    if (programCount == 0) {
        return "no program headers";
    }
    if (header.e_phentsize != sizeof(Phdr)) {
        return "program headers of " + std::to_string(header.e_phentsize) + " bytes each, not " +
               std::to_string(sizeof(Phdr));
    }
    const uint64_t programsEnd = End(header.e_phoff, programCount, sizeof(Phdr));
    if (programsEnd > size) {
        return Short(size, std::max(need, programsEnd));
    }
    need = std::max(need, programsEnd);
    std::vector<Phdr> programs(static_cast<size_t>(programCount));
    if (!ReadAt(fd, header.e_phoff, programs.data(), programs.size() * sizeof(Phdr))) {
        return changed;
    }
    // The loader maps each segment's bytes from the file as they are given.
    for (const Phdr& program : programs) {
        need = std::max(need, End(program.p_offset, 1, program.p_filesz));
    }
    return need > size ? Short(size, need) : std::string();
}

// The linker's name for the ELF header at the start of this executable's
// image: read in memory, so that it needs no descriptor (a process short of
// them is told so by what the window needs, not by this).
extern "C" const Ehdr __ehdr_start;

uint16_t ExecutableMachine() {
    return __ehdr_start.e_machine;
}
