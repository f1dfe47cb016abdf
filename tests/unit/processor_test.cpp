#include "probes/processor.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "fakes/fake_cpu.h"

namespace orv {
namespace {

using test::FakeCpu;

// Leaf 1 EAX from its fields.
constexpr uint32_t Sig(uint32_t family, uint32_t model, uint32_t stepping = 0, uint32_t type = 0,
                       uint32_t extendedFamily = 0) {
  return (extendedFamily << 20) | (type << 12) | (family << 8) | (model << 4) | stepping;
}
constexpr uint32_t kLogical = 1u << 28;  // leaf 1 EDX: the logical count is valid
constexpr uint32_t kTsc = 1u << 4;       // leaf 1 EDX: time-stamp counter
constexpr uint32_t kMp = 1u << 19;       // 0x80000001 EDX
constexpr uint32_t kLong = 1u << 29;     // 0x80000001 EDX
constexpr uint32_t kMobile = 1u << 1;    // 0x80000007 EDX

// 0x80000006 ECX with an L2 size.
constexpr uint32_t L2(uint32_t kb) { return kb << 16; }
// Leaf 2 with one descriptor in EDX byte 0 (EAX byte 0 is the repeat count).
constexpr CpuidLeaf Desc(uint32_t edx) { return {0x00000001, 0, 0, edx}; }

// The leaves of one recorded processor; what a row leaves out answers zeros.
struct Leaves {
  const char* vendor = "GenuineIntel";
  uint32_t highest = 2;
  uint32_t sig = 0, ebx1 = 0, edx1 = 0;  // leaf 1
  CpuidLeaf leaf2{};
  uint32_t ebxExt1 = 0, edxExt1 = 0;  // 0x80000001
  uint32_t ecxExt6 = 0;               // 0x80000006
  uint32_t edxExt7 = 0;               // 0x80000007
  uint32_t eaxTm0 = 0;                // 0x80860000
  uint32_t ebxTm1 = 0, ecxTm1 = 0;    // 0x80860001
  uint32_t osType = 586;
  bool available = true;
};

void Load(FakeCpu& cpu, const Leaves& l) {
  cpu.available = l.available;
  cpu.SetVendor(l.vendor, l.highest);
  cpu.leaves[1] = {l.sig, l.ebx1, 0, l.edx1};
  cpu.leaves[2] = l.leaf2;
  cpu.leaves[0x80000001] = {0, l.ebxExt1, 0, l.edxExt1};
  cpu.leaves[0x80000006] = {0, 0, l.ecxExt6, 0};
  cpu.leaves[0x80000007] = {0, 0, 0, l.edxExt7};
  cpu.leaves[0x80860000] = {l.eaxTm0, 0, 0, 0};
  cpu.leaves[0x80860001] = {0, l.ebxTm1, l.ecxTm1, 0};
  cpu.processorType = l.osType;
}

CpuidRecord Record(const Leaves& l) {
  FakeCpu cpu;
  Load(cpu, l);
  return ReadCpuidRecord(cpu);
}

// The tables below keep one case per line.
// clang-format off

// ---- Names ------------------------------------------------------------------------------------

struct NameCase {
  const char* name;
  Leaves leaves;
};
std::ostream& operator<<(std::ostream& os, const NameCase& c) {
  return os << c.leaves.vendor << " sig " << std::hex << c.leaves.sig << " -> \"" << c.name << "\"";
}

using N = NameCase;
constexpr const char* kAmd = "AuthenticAMD";
constexpr const char* kTm = "GenuineTMx86";
constexpr const char* kVia = "CentaurHauls";
constexpr const char* kCyrix = "CyrixInstead";

class ProcessorNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ProcessorNameTest, NamesTheRecordedProcessor) {
  FakeCpu cpu;
  Load(cpu, GetParam().leaves);
  EXPECT_EQ(GetProcessorName(cpu), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Intel, ProcessorNameTest,
    ::testing::Values(
        // Family 3 reads the type from four bits, so type 4 is not type 0.
        N{"Intel386DX", {.sig = 0x0300}}, N{"Intel386SL", {.sig = 0x4310}},
        N{"RapidCAD coprocessor", {.sig = 0x0340}}, N{"", {.sig = 0x1300}},
        N{"Pentium", {.sig = Sig(5, 2)}}, N{"Pentium OverDrive", {.sig = Sig(5, 2, 0, 1)}},
        N{"Pentium MMX OverDrive", {.sig = Sig(5, 4, 0, 1)}}, N{"Pentium with MMX(P55C)", {.sig = Sig(5, 4, 3)}},
        N{"Pentium MMX OverDrive", {.sig = Sig(6, 3, 0, 1)}}, N{"Pentium II(Klamath)", {.sig = Sig(6, 3, 4)}},
        // Family 6 model 5 by the L2 of the leaf 2 descriptors (0x40 = no L2 below family 15).
        N{"Celeron(Convington)", {.sig = Sig(6, 5), .leaf2 = Desc(0x40)}},
        N{"Pentium II Xeon(Deschutes)", {.sig = Sig(6, 5), .leaf2 = Desc(0x44)}},
        N{"Pentium II OverDrive", {.sig = Sig(6, 5, 0, 1), .leaf2 = Desc(0x43)}},
        N{"Pentium II(Deschutes)", {.sig = Sig(6, 5, 2), .leaf2 = Desc(0x0C040843)}},
        N{"Celeron(Convinton)", {.sig = Sig(6, 5), .leaf2 = Desc(0x42)}},
        // Leaf 2 beyond the highest leaf: no L2 although the processor would report one.
        N{"Celeron(Convington)", {.highest = 1, .sig = Sig(6, 5), .leaf2 = Desc(0x43)}},
        N{"Mobile Pentium II(Dixon)", {.sig = Sig(6, 6, 10), .leaf2 = Desc(0x42)}},
        N{"Mobile Celeron(Dixon-128K)", {.sig = Sig(6, 6, 13), .leaf2 = Desc(0x41)}},
        N{"Celeron(Mendocino)", {.sig = Sig(6, 6, 10), .leaf2 = Desc(0x43)}},
        N{"Pentium III Xeon(Cascades)", {.sig = Sig(6, 8), .ebx1 = 3, .leaf2 = Desc(0x82)}},
        N{"Pentium III(Coppermine)", {.sig = Sig(6, 8, 3), .ebx1 = 2, .leaf2 = {0x03020101, 0, 0, 0x0C040882}}},
        N{"Celeron(Coppermine-128K)", {.sig = Sig(6, 8, 6), .ebx1 = 1, .leaf2 = Desc(0x79)}},
        N{"Mobile Pentium M(Banias)", {.sig = Sig(6, 9, 5), .leaf2 = Desc(0x87)}},
        N{"Mobile Celeron(Banias)", {.sig = Sig(6, 9, 5), .leaf2 = Desc(0x86)}},
        N{"", {.sig = Sig(6, 9, 5), .leaf2 = Desc(0x45)}},
        // Model 11: brand 6 and 7 come before the L2 test, brand 4 after it.
        N{"Mobile Pentium III-M(Tualatin)", {.sig = Sig(6, 11, 1), .ebx1 = 6, .leaf2 = Desc(0x83)}},
        N{"Mobile Celeron(Tualatin)", {.sig = Sig(6, 11, 1), .ebx1 = 7, .leaf2 = Desc(0x82)}},
        N{"Pentium III-S(Tualatin)", {.sig = Sig(6, 11, 1), .ebx1 = 4, .leaf2 = Desc(0x83)}},
        N{"Pentium III(Tualatin)", {.sig = Sig(6, 11, 1), .ebx1 = 4, .leaf2 = Desc(0x82)}},
        N{"Celeron(Tualatin)", {.sig = Sig(6, 11, 1), .ebx1 = 3, .leaf2 = Desc(0x82)}},
        // a modern core: no extended model
        N{"P6 Family CPU(Unknown)", {.sig = Sig(6, 13, 6)}}, N{"Itanium(Merced)", {.sig = Sig(7, 9)}},
        N{"Itanium 2(McKinley)", {.sig = Sig(15, 0, 0, 0, 1), .ebx1 = 0x0C}},
        N{"Xeon MP(Foster MP)", {.sig = Sig(15, 0), .ebx1 = 0x0C}}, N{"Xeon(Foster)", {.sig = Sig(15, 1), .ebx1 = 0x0E}},
        N{"Pentium 4(Willamette)", {.sig = Sig(15, 1, 2), .ebx1 = 8, .leaf2 = Desc(0x7B)}},
        N{"Celeron(Willamette-128K)", {.sig = Sig(15, 1, 2), .ebx1 = 8, .leaf2 = Desc(0x7A)}},
        // Family 15 model 2: brand index with L3 and the logical count.
        N{"Xeon MP(Gallatin)", {.sig = Sig(15, 2), .ebx1 = 0x0C}},
        N{"Xeon(Gallatin)", {.sig = Sig(15, 2, 5), .ebx1 = 0x0B, .leaf2 = Desc(0x7C22)}},
        // 0x40 after an L3 descriptor on family 15 clears the L3 again.
        N{"Xeon(Prestonia)", {.sig = Sig(15, 2, 5), .ebx1 = 0x0B, .leaf2 = Desc(0x7B2240)}},
        N{"Pentium 4 Extreme Edition(Gallatin)", {.sig = Sig(15, 2, 5), .ebx1 = 0x00020009, .edx1 = kLogical, .leaf2 = Desc(0x7C23)}},
        N{"Pentium 4 HT(Northwood)", {.sig = Sig(15, 2, 9), .ebx1 = 0x00020009, .edx1 = kLogical, .leaf2 = {0x665B5001, 0, 0, 0x007B7040}}},
        N{"Pentium 4(Northwood)", {.sig = Sig(15, 2, 4), .ebx1 = 0x00010009, .edx1 = kLogical}},
        N{"Mobile Pentium 4 HT(Northwood)", {.sig = Sig(15, 2), .ebx1 = 0x0002000E, .edx1 = kLogical}},
        N{"Mobile Pentium 4-M(Northwood)", {.sig = Sig(15, 2), .ebx1 = 0x0E}},
        N{"Mobile Celeron(Northwood-256K)", {.sig = Sig(15, 2), .ebx1 = 0x0F, .leaf2 = Desc(0x7A)}},
        N{"Mobile Pentium 4-M ES(Northwood)", {.sig = Sig(15, 2), .ebx1 = 0x0F, .leaf2 = Desc(0x7B)}},
        N{"Mobile Celeron(Northwood-128K)", {.sig = Sig(15, 2), .ebx1 = 0x0F, .leaf2 = Desc(0x79)}},
        N{"Celeron(Northwood-128K)", {.sig = Sig(15, 2), .ebx1 = 0x0A, .leaf2 = Desc(0x79)}},
        N{"Intel CPU(Unkown Family)", {.sig = Sig(14, 0)}},
        // Leaf 1 beyond the highest leaf: a signature of zeros.
        N{"Intel CPU(Unkown Family)", {.highest = 0, .sig = Sig(6, 8)}}));

INSTANTIATE_TEST_SUITE_P(
    Amd, ProcessorNameTest,
    ::testing::Values(
        N{"K6-2+", {.vendor = kAmd, .sig = Sig(5, 13), .ecxExt6 = L2(128)}},
        N{"K6-III+", {.vendor = kAmd, .sig = Sig(5, 13), .ecxExt6 = L2(256)}},
        N{"K6 Family CPU(Unknown)", {.vendor = kAmd, .sig = Sig(5, 13), .ecxExt6 = L2(512)}},
        N{"K5/K6 Family CPU(Unknown)", {.vendor = kAmd, .sig = Sig(5, 4)}},
        // Model 6: mobile before the L2 test, the L2 test before MP, MP read only when not mobile.
        N{"MobileAthlon4(Palomino)", {.vendor = kAmd, .sig = Sig(6, 6, 2), .edxExt1 = kMp, .ecxExt6 = L2(256), .edxExt7 = kMobile}},
        N{"MobileDuron(Palomino)", {.vendor = kAmd, .sig = Sig(6, 6, 2), .ecxExt6 = L2(64), .edxExt7 = kMobile}},
        N{"Duron(Palomino)", {.vendor = kAmd, .sig = Sig(6, 6, 3), .edxExt1 = kMp, .ecxExt6 = L2(64)}},
        N{"AthlonMP(Palomino)", {.vendor = kAmd, .sig = Sig(6, 6, 3), .edxExt1 = kMp, .ecxExt6 = L2(256)}},
        N{"AthlonXP/MP(Palomino)", {.vendor = kAmd, .sig = Sig(6, 6, 2), .edxExt1 = kMp, .ecxExt6 = L2(256)}},
        N{"AthlonXP(Palomino)", {.vendor = kAmd, .sig = Sig(6, 6, 2), .ecxExt6 = L2(256)}},
        N{"MobileDuron(Morgan)", {.vendor = kAmd, .sig = Sig(6, 7, 1), .edxExt7 = kMobile}},
        N{"Duron(Morgan)", {.vendor = kAmd, .sig = Sig(6, 7, 1), .edxExt7 = ~kMobile}},
        N{"Duron(Applebred)", {.vendor = kAmd, .sig = Sig(6, 8, 1), .ecxExt6 = L2(64), .edxExt7 = kMobile}},
        N{"AthlonMP(Thoroughbred)", {.vendor = kAmd, .sig = Sig(6, 8, 1), .edxExt1 = kMp, .ecxExt6 = L2(256)}},
        N{"AthlonXP(Thorton)", {.vendor = kAmd, .sig = Sig(6, 10), .ecxExt6 = L2(256)}},
        N{"MobileAthlonXP-M(Barton)", {.vendor = kAmd, .sig = Sig(6, 10), .edxExt1 = kMp, .ecxExt6 = L2(512), .edxExt7 = kMobile}},
        N{"Athlon Family CPU(Unknown)", {.vendor = kAmd, .sig = Sig(6, 11)}},
        N{"AMD CPU(Unknown Family)", {.vendor = kAmd, .sig = Sig(7, 0)}}));

INSTANTIATE_TEST_SUITE_P(
    Amd64, ProcessorNameTest,
    ::testing::Values(
        N{"AthlonXP(Paris)", {.vendor = kAmd, .sig = Sig(15, 4), .ebxExt1 = 0x10A}},
        // Bits above 11 of the brand do not count; all eight bits of N do.
        N{"Athlon 64 3200+(ClawHammer)", {.vendor = kAmd, .sig = Sig(15, 4, 8), .ebxExt1 = 0xF10A, .edxExt1 = kLong}},
        N{"Athlon 64 22200+(ClawHammer)", {.vendor = kAmd, .sig = Sig(15, 4), .ebxExt1 = 0x1C8, .edxExt1 = kLong}},
        N{"Mobile Athlon 64 3000+(Unknown)", {.vendor = kAmd, .sig = Sig(15, 8), .ebxExt1 = 0x208, .edxExt1 = kLong}},
        N{"Opteron UP 150(SledgeHammer)", {.vendor = kAmd, .sig = Sig(15, 5), .ebxExt1 = 0x306, .edxExt1 = kLong}},
        N{"Opteron DP 258(ClawHammer)", {.vendor = kAmd, .sig = Sig(15, 4), .ebxExt1 = 0x40A, .edxExt1 = kLong}},
        N{"Hammer(Unknown)", {.vendor = kAmd, .sig = Sig(15, 12), .ebxExt1 = 0xA05, .edxExt1 = kLong}},
        // Selector 0: the brand index of leaf 1 (its bits 5-7 choose the line), then the core
        // suffix as well.
        N{"Opteron UP 150(SledgeHammer)(SledgeHammer)", {.vendor = kAmd, .sig = Sig(15, 5), .ebx1 = 0x00020066, .edxExt1 = kLong}},
        N{"Opteron DP 258(SledgeHammer)(ClawHammer)", {.vendor = kAmd, .sig = Sig(15, 4), .ebx1 = 0x8A, .edxExt1 = kLong}},
        N{"Opteron MP 850(SledgeHammer)(Unknown)", {.vendor = kAmd, .sig = Sig(15, 7), .ebx1 = 0xA6, .edxExt1 = kLong}},
        N{"Hammer Engineering Sample(ClawHammer)", {.vendor = kAmd, .sig = Sig(15, 0), .ebx1 = 0x26, .edxExt1 = kLong}}));

// The smaller makers: each one's family and model tests.
constexpr const char* kUmc = "UMC UMC UMC ";
constexpr const char* kRise = "RiesRiseRise";
constexpr const char* kNsc = "Geode by NSC";
INSTANTIATE_TEST_SUITE_P(
    OtherX86, ProcessorNameTest,
    ::testing::Values(
        N{"UMC 486 Family CPU(Unknown)", {.vendor = kUmc, .sig = Sig(4, 3)}}, N{"UMC CPU(Unknown)", {.vendor = kUmc, .sig = Sig(5, 1)}},
        N{"Cx5x86 Family CPU(Unknown)", {.vendor = kCyrix, .sig = Sig(4, 1)}}, N{"Cx6x86", {.vendor = kCyrix, .sig = Sig(5, 2)}},
        N{"GXm", {.vendor = kCyrix, .sig = Sig(5, 4)}}, N{"Cx6x86 Family CPU(Unknown)", {.vendor = kCyrix, .sig = Sig(5, 3)}},
        N{"6x86MX/MII Family CPU(Unknown)", {.vendor = kCyrix, .sig = Sig(6, 6)}}, N{"Cyrix CPU(Unknown)", {.vendor = kCyrix, .sig = Sig(7, 0)}},
        N{"NexGen CPU(Unknown)", {.vendor = "NexGenDriven", .sig = Sig(4, 0)}},
        N{"WinChip 2", {.vendor = kVia, .sig = Sig(5, 8, 6)}}, N{"WinChip 2A", {.vendor = kVia, .sig = Sig(5, 8, 7)}},
        N{"WinChip 2A", {.vendor = kVia, .sig = Sig(5, 8, 9)}}, N{"WinChip 2B", {.vendor = kVia, .sig = Sig(5, 8, 10)}},
        N{"VIA C3(Samuel2)", {.vendor = kVia, .sig = Sig(6, 7, 7)}}, N{"VIA C3(Ezra)", {.vendor = kVia, .sig = Sig(6, 7, 8)}},
        N{"VIA C3 Family CPU(Unknown)", {.vendor = kVia, .sig = Sig(6, 10)}}, N{"Centaur CPU(Unknown)", {.vendor = kVia, .sig = Sig(7, 0)}},
        N{"mP6(iDragon)", {.vendor = kRise, .sig = Sig(5, 2)}}, N{"mP6(iDragon II)", {.vendor = kRise, .sig = Sig(5, 8)}},
        N{"SiS 55x", {.vendor = "SiS SiS SiS ", .sig = Sig(5, 0)}}, N{"SiS CPU(Unknown)", {.vendor = "SiS SiS SiS ", .sig = Sig(6, 0)}},
        N{"Geode GXM/GXLV/GX1", {.vendor = kNsc, .sig = Sig(4, 4)}}, N{"Geode CPU(Unknown)", {.vendor = kNsc, .sig = Sig(4, 5)}},
        N{"NSC CPU(Unknown)", {.vendor = kNsc, .sig = Sig(5, 4)}}));

// Transmeta: the revision R of leaf 0x80860001 EBX bits 16-31, and the L2.
constexpr uint32_t kTmHighest = 0x80860002;
INSTANTIATE_TEST_SUITE_P(
    Transmeta, ProcessorNameTest,
    ::testing::Values(
        N{"Transmeta CPU(Unknown)", {.vendor = kTm, .sig = Sig(5, 4), .eaxTm0 = 0x80860000, .ebxTm1 = 0x01010000}},
        N{"Crusoe TM3200", {.vendor = kTm, .sig = Sig(5, 4), .eaxTm0 = kTmHighest, .ebxTm1 = 0x01010000}},
        N{"Crusoe TM5500", {.vendor = kTm, .sig = Sig(5, 4), .ecxExt6 = L2(256), .eaxTm0 = kTmHighest, .ebxTm1 = 0x01030000}},
        N{"Crusoe TM5800", {.vendor = kTm, .sig = Sig(5, 4), .ecxExt6 = L2(512), .eaxTm0 = kTmHighest, .ebxTm1 = 0x010300FF}},
        N{"Crusoe TM5400", {.vendor = kTm, .sig = Sig(5, 4), .ecxExt6 = L2(256), .eaxTm0 = kTmHighest, .ebxTm1 = 0x01030100}},
        N{"Crusoe TM5600", {.vendor = kTm, .sig = Sig(5, 4), .ecxExt6 = L2(512), .eaxTm0 = kTmHighest, .ebxTm1 = 0x01030700}},
        N{"Crusoe TM5500", {.vendor = kTm, .sig = Sig(5, 4), .ecxExt6 = L2(256), .eaxTm0 = kTmHighest, .ebxTm1 = 0x01040000}},
        N{"Crusoe TM5800", {.vendor = kTm, .sig = Sig(5, 4), .ecxExt6 = L2(512), .eaxTm0 = kTmHighest, .ebxTm1 = 0x01040000}},
        N{"", {.vendor = kTm, .sig = Sig(5, 4), .ecxExt6 = L2(128), .eaxTm0 = kTmHighest, .ebxTm1 = 0x01040000}},
        N{"Crusoe TM5800", {.vendor = kTm, .sig = Sig(5, 4), .ecxExt6 = L2(128), .eaxTm0 = kTmHighest, .ebxTm1 = 0x01050000}},
        N{"Efficeon (Astro, TM8000)", {.vendor = kTm, .sig = Sig(15, 2), .ecxExt6 = L2(1024), .eaxTm0 = kTmHighest, .ebxTm1 = 0x02000000}},
        N{"Transmeta CPU(Unknown)", {.vendor = kTm, .sig = Sig(15, 2), .ecxExt6 = L2(512), .eaxTm0 = kTmHighest, .ebxTm1 = 0x02000000}}));

// Vendors the tables do not know, and no identification instruction: the OS processor type.
INSTANTIATE_TEST_SUITE_P(
    OsType, ProcessorNameTest,
    ::testing::Values(
        N{"", {.available = false}}, N{"386", {.osType = 386, .available = false}},
        // Without the instruction, recorded Intel leaves are not looked at.
        N{"Alpha 21164", {.sig = Sig(6, 8), .osType = 21164, .available = false}},
        N{"Alpha 21164", {.vendor = "Compaq FX!32", .osType = 21164}},
        N{"PowerPC", {.vendor = "ConnectixCPU", .osType = 586}}, N{"StrongARM", {.vendor = "ConnectixCPU", .osType = 2577}},
        N{"", {.vendor = "HygonGenuine", .sig = Sig(6, 8), .osType = 8664}},
        // Vendor texts compare exactly.
        N{"", {.vendor = "genuineintel", .sig = Sig(6, 8)}}, N{"", {.vendor = "UMC UMC UMC", .sig = Sig(4, 1)}}));

// ---- Cache sizes, logical count, mobile flag --------------------------------------------------

struct CacheCase {
  const char* what;
  Leaves leaves;
  unsigned l2, l3;
};

TEST(ProcessorCache, SizesFromDescriptorsOrTheExtendedLeaf) {
  const CacheCase cases[] = {
      {"one descriptor", {.sig = Sig(6, 8), .leaf2 = Desc(0x43)}, 512, 0},
      {"EAX byte 0 is the count, not a descriptor", {.sig = Sig(6, 8), .leaf2 = {0x44, 0, 0, 0x43}}, 512, 0},
      {"EAX bytes 1-3 are descriptors", {.sig = Sig(6, 8), .leaf2 = {0x44000001, 0, 0, 0x43}}, 1024, 0},
      {"EDX byte 3 before byte 0", {.sig = Sig(6, 8), .leaf2 = Desc(0x41000043)}, 512, 0},
      {"EBX after ECX", {.sig = Sig(6, 8), .leaf2 = {0x01, 0x43, 0x44, 0}}, 512, 0},
      {"ECX after EDX", {.sig = Sig(6, 8), .leaf2 = {0x01, 0, 0x43, 0x44}}, 512, 0},
      {"EAX last", {.sig = Sig(6, 8), .leaf2 = {0x00004401, 0x43, 0x42, 0x41}}, 1024, 0},
      {"register validity bit not tested", {.sig = Sig(6, 8), .leaf2 = Desc(0x80000043)}, 512, 0},
      {"0x40 clears L2 below family 15", {.sig = Sig(6, 8), .leaf2 = Desc(0x4340)}, 0, 0},
      {"0x40 before the L2 descriptor", {.sig = Sig(6, 8), .leaf2 = Desc(0x4043)}, 512, 0},
      {"0x40 keeps L3 below family 15", {.sig = Sig(6, 8), .leaf2 = Desc(0x224340)}, 0, 512},
      {"0x40 clears L3 on family 15", {.sig = Sig(15, 2), .leaf2 = Desc(0x224340)}, 512, 0},
      {"L3 after 0x40 on family 15", {.sig = Sig(15, 2), .leaf2 = Desc(0x4022)}, 0, 512},
      {"L3 3096", {.sig = Sig(15, 2), .leaf2 = Desc(0x8D)}, 0, 3096},
      {"Intel does not read 0x80000006", {.sig = Sig(6, 8), .ecxExt6 = L2(256)}, 0, 0},
      {"Intel without leaf 2", {.highest = 1, .sig = Sig(6, 8), .leaf2 = Desc(0x2243)}, 0, 0},
      {"others read ECX bits 16-31", {.vendor = "AuthenticAMD", .sig = Sig(6, 8), .leaf2 = Desc(0x43), .ecxExt6 = 0x01004140}, 256, 0},
      {"AMD 6/3/0 reports 1 KB", {.vendor = "AuthenticAMD", .sig = Sig(6, 3, 0), .ecxExt6 = L2(1)}, 64, 0},
      {"AMD 6/4/1", {.vendor = "AuthenticAMD", .sig = Sig(6, 4, 1), .ecxExt6 = L2(1)}, 256, 0},
      {"AMD 6/4/2", {.vendor = "AuthenticAMD", .sig = Sig(6, 4, 2), .ecxExt6 = L2(1)}, 1, 0},
      {"Centaur 6/7 ECX bits 24-31", {.vendor = "CentaurHauls", .sig = Sig(6, 7), .ecxExt6 = 0x40004000}, 64, 0},
      {"Centaur 6/9", {.vendor = "CentaurHauls", .sig = Sig(6, 9), .ecxExt6 = 0x00404000}, 64, 0},
      {"AMD corrections are AMD's only", {.vendor = "CyrixInstead", .sig = Sig(6, 3, 0), .ecxExt6 = L2(1)}, 1, 0},
  };
  for (const CacheCase& c : cases) {
    SCOPED_TRACE(c.what);
    const CacheSizes sizes = GetCacheSizes(Record(c.leaves));
    EXPECT_EQ(sizes.l2, c.l2);
    EXPECT_EQ(sizes.l3, c.l3);
  }
}

TEST(ProcessorLogicalCount, CountsOnlyWhenTheFlagIsSet) {
  struct Case {
    uint32_t ebx1, edx1;
    unsigned count;
  } const cases[] = {
      {0x00020000, kLogical, 2}, {0x00020000, 0, 0}, {0x01080A09, kLogical | kTsc, 8},
      {0xFFFFFFFF, kLogical, 255}, {0x0000FFFF, kLogical, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ebx1);
    EXPECT_EQ(GetLogicalProcessorCount(Record({.sig = Sig(15, 2), .ebx1 = c.ebx1, .edx1 = c.edx1})), c.count);
  }
}

TEST(ProcessorAmdMobile, ReadsBitOneOfLeaf80000007) {
  EXPECT_TRUE(IsAmdMobile(Record({.vendor = "AuthenticAMD", .edxExt7 = kMobile})));
  EXPECT_TRUE(IsAmdMobile(Record({.vendor = "AuthenticAMD", .edxExt7 = 0x7F})));
  EXPECT_FALSE(IsAmdMobile(Record({.vendor = "AuthenticAMD", .edxExt7 = ~kMobile})));
}

TEST(ProcessorVendor, IsLeafZeroInRegisterOrderOrUnknown) {
  EXPECT_EQ(VendorText(Record({.vendor = "AuthenticAMD"})), "AuthenticAMD");
  EXPECT_EQ(VendorText(Record({.vendor = "GenuineIntel", .available = false})), "Unknown");
}

// ---- Leaf query -------------------------------------------------------------------------------

TEST(CpuidQuery, ResultsAndRangeCheck) {
  struct Case {
    bool available;
    uint32_t highest, leaf;
    int result;
    std::vector<uint32_t> executed;
  } const cases[] = {
      {false, 5, 0, kCpuidNotAvailable, {}},
      {false, 5, 0x80000001, kCpuidNotAvailable, {}},
      {true, 5, 0, kCpuidDone, {0}},  // leaf 0 from its one execution
      {true, 5, 5, kCpuidDone, {0, 5}},
      {true, 5, 6, kCpuidBeyondRange, {0}},
      {true, 0, 1, kCpuidBeyondRange, {0}},
      {true, 5, 0x80000008, kCpuidDone, {0, 0x80000008}},
      {true, 0, 0x80860001, kCpuidDone, {0, 0x80860001}},
      // Signed comparison: a highest leaf with bit 31 set is below every standard leaf.
      {true, 0x80000004, 1, kCpuidBeyondRange, {0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.highest << " leaf " << c.leaf);
    FakeCpu cpu;
    cpu.available = c.available;
    cpu.SetVendor("GenuineIntel", c.highest);
    if (c.leaf != 0) cpu.leaves[c.leaf] = {11, 22, 33, 44};
    const CpuidLeaf sentinel{9, 9, 9, 9};
    CpuidLeaf out = sentinel;
    EXPECT_EQ(QueryCpuidLeaf(cpu, c.leaf, out), c.result);
    EXPECT_EQ(cpu.executed, c.executed);
    const CpuidLeaf expected = c.result != kCpuidDone ? sentinel : c.leaf == 0 ? cpu.leaves[0] : CpuidLeaf{11, 22, 33, 44};
    EXPECT_EQ(out.eax, expected.eax);
    EXPECT_EQ(out.ebx, expected.ebx);
    EXPECT_EQ(out.ecx, expected.ecx);
    EXPECT_EQ(out.edx, expected.edx);
  }
}

TEST(CpuidQuery, TimeStampCounterNeedsAHighestLeafAndTheFlag) {
  struct Case {
    bool available;
    uint32_t highest, edx1;
    bool has;
  } const cases[] = {
      {true, 1, kTsc, true},        {true, 1, ~kTsc, false},      {true, 0, kTsc, false},
      {false, 1, kTsc, false},      {true, 0x80000004, kTsc, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.available << " " << std::hex << c.highest << " " << c.edx1);
    FakeCpu cpu;
    Load(cpu, {.highest = c.highest, .sig = Sig(6, 8), .edx1 = c.edx1, .available = c.available});
    EXPECT_EQ(HasTimeStampCounter(cpu), c.has);
  }
}

// ---- Clock ------------------------------------------------------------------------------------

struct ClockCase {
  const char* what;
  std::vector<uint32_t> ms;        // M0, S, the wait's reads, M1
  std::vector<int64_t> counters;   // P0, P1, P2
  int64_t frequency;
  std::vector<uint64_t> stamps;    // C0, C1
  int64_t hertz;
};

TEST(ProcessorClock, DividesTheCyclesByTheTrustedClock) {
  const ClockCase cases[] = {
      {"T 1.25 against Q 1.0: T", {0, 0, 1000, 1250}, {0, 10, 1020}, 1000, {0, 2500000000}, 2000000000},
      {"T 1.02 against Q 1.0: Q", {0, 0, 1000, 1020}, {0, 10, 1020}, 1000, {0, 2500000000}, 2500000000},
      {"Q exactly 0.1 above T: T", {0, 0, 1000, 1000}, {0, 10, 1120}, 1000, {0, 2500000000}, 2500000000},
      {"T exactly 0.1 above Q: T", {0, 0, 1000, 1100}, {0, 10, 1020}, 1000, {0, 2500000000}, 2272727273},
      {"Q just within 0.1: Q", {0, 0, 1000, 1000}, {0, 10, 1119}, 1000, {0, 2500000000}, 2274795268},
      // Q = ((1100 - 50) - (50 - 0)) / 1000 = 1.0; without the call cost it would be 1.05.
      {"one counter call subtracted", {0, 0, 1000, 1000}, {0, 50, 1100}, 1000, {0, 2500000000}, 2500000000},
      // The wait counts from S, not from M0: it ends at 1500, so T = 1.6.
      {"wait from the second reading", {0, 500, 1400, 1500, 1600}, {0, 0, 1000}, 1000, {0, 1600000000}, 1000000000},
      {"millisecond clock wraps", {0xFFFFFE0C, 0xFFFFFE0C, 500, 750}, {0, 0, 1000}, 1000, {0, 2500000000}, 2000000000},
      {"rounded to nearest", {0, 0, 1000, 1250}, {0, 0, 1000}, 1000, {5, 2000000006}, 1600000001},
      {"no counter frequency: T", {0, 0, 1000, 1000}, {0, 0, 0}, 0, {0, 3000000000}, 3000000000},
      {"T and Q both zero", {5000, 0, 1000, 5000}, {0, 0, 0}, 1000, {0, 3000000000}, 0},
  };
  for (const ClockCase& c : cases) {
    SCOPED_TRACE(c.what);
    FakeCpu cpu;
    Load(cpu, {.sig = Sig(6, 8), .edx1 = kTsc});
    cpu.milliseconds = c.ms;
    cpu.counters = c.counters;
    cpu.frequency = c.frequency;
    cpu.stamps = c.stamps;
    EXPECT_EQ(MeasureProcessorClock(cpu), c.hertz);
  }
}

TEST(ProcessorClock, ReadsTheClocksInTheirOrder) {
  FakeCpu cpu;
  Load(cpu, {.sig = Sig(6, 8), .edx1 = kTsc});
  cpu.millisecondStep = 100;  // M0 0, S 100, waits through 1100, M1 1200
  MeasureProcessorClock(cpu);
  EXPECT_EQ(cpu.clockReads, "PPCMM" + std::string(10, 'M') + "MCPF");
}

TEST(ProcessorClock, TransmetaNominalClockOrNothing) {
  struct Case {
    const char* what;
    Leaves leaves;
    int64_t hertz;
  } const cases[] = {
      {"nominal MHz", {.vendor = "GenuineTMx86", .eaxTm0 = kTmHighest, .ecxTm1 = 667}, 667000000},
      {"any vendor answering the leaf", {.sig = Sig(6, 8), .edx1 = kTsc, .eaxTm0 = kTmHighest, .ecxTm1 = 1000}, 1000000000},
      {"product kept in 32 bits", {.vendor = "GenuineTMx86", .eaxTm0 = kTmHighest, .ecxTm1 = 5000}, 705032704},
      {"leaf not above 0x80860000, no TSC", {.vendor = "GenuineTMx86", .eaxTm0 = 0x80860000, .ecxTm1 = 667}, 0},
      {"no TSC flag", {.sig = Sig(6, 8), .edx1 = ~kTsc}, 0},
      {"highest leaf 0", {.highest = 0, .sig = Sig(6, 8), .edx1 = kTsc}, 0},
      {"no instruction", {.sig = Sig(6, 8), .edx1 = kTsc, .eaxTm0 = kTmHighest, .ecxTm1 = 667, .available = false}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeCpu cpu;
    Load(cpu, c.leaves);
    EXPECT_EQ(MeasureProcessorClock(cpu), c.hertz);
    EXPECT_EQ(cpu.clockReads, "");  // no one-second wait on these paths
  }
}

// clang-format on

}  // namespace
}  // namespace orv
