// A module checked against its own ELF headers before it is loaded.
#include "emulator/module_check.h"

#include <elf.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {
constexpr bool k64Bit = sizeof(void*) == 8;
using Ehdr = std::conditional_t<k64Bit, Elf64_Ehdr, Elf32_Ehdr>;
using Phdr = std::conditional_t<k64Bit, Elf64_Phdr, Elf32_Phdr>;

using Bytes = std::vector<unsigned char>;

Bytes Fixture() {
    std::ifstream in(PLASMA_FIXTURE_MODULE, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Ehdr HeaderOf(const Bytes& bytes) {
    Ehdr header;
    std::memcpy(&header, bytes.data(), sizeof header);
    return header;
}

void SetHeader(Bytes& bytes, const Ehdr& header) {
    std::memcpy(bytes.data(), &header, sizeof header);
}

Phdr ProgramHeader(const Bytes& bytes, size_t index) {
    Phdr program;
    std::memcpy(&program, bytes.data() + HeaderOf(bytes).e_phoff + index * sizeof program,
                sizeof program);
    return program;
}

void SetProgramHeader(Bytes& bytes, size_t index, const Phdr& program) {
    std::memcpy(bytes.data() + HeaderOf(bytes).e_phoff + index * sizeof program, &program,
                sizeof program);
}

// The last PT_LOAD segment that holds bytes of the file.
size_t LastLoadedSegment(const Bytes& bytes) {
    size_t last = 0;
    for (size_t i = 0; i < HeaderOf(bytes).e_phnum; ++i) {
        const Phdr program = ProgramHeader(bytes, i);
        if (program.p_type == PT_LOAD && program.p_filesz > 0) {
            last = i;
        }
    }
    return last;
}

// ModuleDamage of `bytes`, written to a file and read back through a descriptor.
std::string DamageOf(const Bytes& bytes, uint16_t machine = ExecutableMachine()) {
    TempDir dir;
    const std::string path = dir / "module.so";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_GE(fd, 0) << path;
    const std::string damage = ModuleDamage(fd, machine);
    close(fd);
    return damage;
}

std::string Truncated(size_t size, uint64_t need) {
    return std::to_string(size) + (size == 1 ? " byte" : " bytes") + ", its headers need " +
           std::to_string(need);
}

class ModuleCheck : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = Fixture();
        ASSERT_GT(module_.size(), 96u * 1024) << PLASMA_FIXTURE_MODULE;
        ASSERT_EQ(HeaderOf(module_).e_type, ET_DYN);
    }
    Bytes module_;
};

TEST_F(ModuleCheck, ASoundModuleIsNotDamaged) {
    EXPECT_EQ(DamageOf(module_), "");
}

// The loader maps every segment from the file: cut anywhere short of its
// end, a module is refused, and says how long it should have been.
TEST_F(ModuleCheck, ATruncatedModuleIsRefusedWithTheSizeItsHeadersNeed) {
    const size_t whole = module_.size();
    for (size_t size : {size_t{0}, size_t{1}, size_t{63}, size_t{64}, size_t{1000}, size_t{20000},
                        size_t{65536}, whole - 1}) {
        SCOPED_TRACE(size);
        const Bytes cut(module_.begin(), module_.begin() + static_cast<std::ptrdiff_t>(size));
        const std::string damage = DamageOf(cut);
        const std::string start = std::to_string(size) + (size == 1 ? " byte" : " bytes");
        ASSERT_EQ(damage.rfind(start + ", its headers need ", 0), 0u) << damage;
        const uint64_t need = std::stoull(damage.substr(damage.rfind(' ') + 1));
        EXPECT_GT(need, size) << damage;
        EXPECT_LE(need, whole) << damage;
    }
    // A header cut short is measured by the header itself; the section
    // headers, last in the file, make the whole file needed.
    EXPECT_EQ(DamageOf(Bytes(module_.begin(), module_.begin() + 63)), Truncated(63, sizeof(Ehdr)));
    EXPECT_EQ(DamageOf(Bytes(module_.begin(), module_.end() - 1)), Truncated(whole - 1, whole));
}

// Without section headers (they are optional) the loaded segments alone
// still show a truncation inside them.
TEST_F(ModuleCheck, ASegmentCutShortIsRefusedWithoutSectionHeaders) {
    Ehdr header = HeaderOf(module_);
    header.e_shoff = 0;
    header.e_shnum = 0;
    header.e_shstrndx = 0;
    SetHeader(module_, header);
    const Phdr last = ProgramHeader(module_, LastLoadedSegment(module_));
    const uint64_t segmentEnd = last.p_offset + last.p_filesz;
    ASSERT_LE(segmentEnd, module_.size());
    EXPECT_EQ(DamageOf(Bytes(module_.begin(), module_.begin() + segmentEnd)), "");
    const size_t inside = static_cast<size_t>(segmentEnd - 1);
    EXPECT_EQ(DamageOf(Bytes(module_.begin(), module_.begin() + inside)),
              Truncated(inside, segmentEnd));
}

struct Damage {
    const char* name;
    std::function<void(Bytes&)> apply;
    std::function<std::string(const Bytes& damaged)> says;
};

void PrintTo(const Damage& c, std::ostream* os) {
    *os << c.name;
}

std::function<void(Bytes&)> InHeader(std::function<void(Ehdr&)> change) {
    return [change](Bytes& bytes) {
        Ehdr header = HeaderOf(bytes);
        change(header);
        SetHeader(bytes, header);
    };
}

std::function<std::string(const Bytes&)> Says(const std::string& text) {
    return [text](const Bytes&) { return text; };
}

constexpr bool kLittleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

std::vector<Damage> HeaderDamages() {
    const std::string programHeaderSize = std::to_string(sizeof(Phdr));
    return {
        {"wrong_magic", [](Bytes& b) { b[1] = 'e'; }, Says("not an ELF file")},
        {"a_script",
         [](Bytes& b) {
             b.assign({'#', '!', '/', 'b', 'i', 'n'});
         },
         Says("not an ELF file")},
        {"wrong_class",
         InHeader([](Ehdr& h) { h.e_ident[EI_CLASS] = k64Bit ? ELFCLASS32 : ELFCLASS64; }),
         Says(k64Bit ? "32-bit, not 64-bit as this program"
                     : "64-bit, not 32-bit as this program")},
        {"wrong_byte_order",
         InHeader([](Ehdr& h) { h.e_ident[EI_DATA] = kLittleEndian ? ELFDATA2MSB : ELFDATA2LSB; }),
         Says(kLittleEndian ? "big-endian, not little-endian as this program"
                            : "little-endian, not big-endian as this program")},
        {"wrong_version", InHeader([](Ehdr& h) { h.e_ident[EI_VERSION] = 2; }),
         Says("ELF version 2, not 1")},
        {"an_executable", InHeader([](Ehdr& h) { h.e_type = ET_EXEC; }),
         Says("not a shared object (ELF type 2)")},
        {"another_machine",
         InHeader([](Ehdr& h) { h.e_machine = h.e_machine == EM_S390 ? EM_SPARC : EM_S390; }),
         [](const Bytes& b) {
             return "built for machine " + std::to_string(HeaderOf(b).e_machine) + ", not " +
                    std::to_string(ExecutableMachine()) + " as this program";
         }},
        {"program_headers_past_the_end", InHeader([](Ehdr& h) { h.e_phoff = 4 * 1024 * 1024; }),
         [](const Bytes& b) {
             return Truncated(b.size(), 4 * 1024 * 1024 + HeaderOf(b).e_phnum * sizeof(Phdr));
         }},
        {"program_headers_beyond_any_file",
         InHeader([](Ehdr& h) { h.e_phoff = std::numeric_limits<decltype(h.e_phoff)>::max(); }),
         // Past the end of any file: the largest size there is.
         [](const Bytes& b) {
             const uint64_t end =
                 k64Bit ? std::numeric_limits<uint64_t>::max()
                        : uint64_t{std::numeric_limits<decltype(Ehdr{}.e_phoff)>::max()} +
                              uint64_t{HeaderOf(b).e_phnum} * sizeof(Phdr);
             return Truncated(b.size(), end);
         }},
        {"section_headers_past_the_end",
         [](Bytes& b) {
             Ehdr h = HeaderOf(b);
             h.e_shoff = b.size();
             SetHeader(b, h);
         },
         [](const Bytes& b) {
             return Truncated(b.size(),
                              b.size() + HeaderOf(b).e_shnum * uint64_t{HeaderOf(b).e_shentsize});
         }},
        {"wrong_program_header_size", InHeader([](Ehdr& h) { h.e_phentsize += 8; }),
         Says("program headers of " + std::to_string(sizeof(Phdr) + 8) + " bytes each, not " +
              programHeaderSize)},
        {"a_segment_past_the_end",
         [](Bytes& b) {
             const size_t last = LastLoadedSegment(b);
             Phdr p = ProgramHeader(b, last);
             p.p_filesz = b.size();
             SetProgramHeader(b, last, p);
         },
         [](const Bytes& b) {
             return Truncated(b.size(), ProgramHeader(b, LastLoadedSegment(b)).p_offset + b.size());
         }},
        {"no_program_headers", InHeader([](Ehdr& h) { h.e_phnum = 0; }),
         Says("no program headers")},
    };
}

class HeaderDamage : public ::testing::TestWithParam<Damage> {};

// Each fault of the identification or the headers is named, never loaded.
TEST_P(HeaderDamage, IsNamed) {
    Bytes module = Fixture();
    ASSERT_GT(module.size(), sizeof(Ehdr));
    const Damage& c = GetParam();
    c.apply(module);
    EXPECT_EQ(DamageOf(module), c.says(module));
}

INSTANTIATE_TEST_SUITE_P(Modules, HeaderDamage, ::testing::ValuesIn(HeaderDamages()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
