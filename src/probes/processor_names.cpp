// The processor name decision: a pure function of the recorded identification leaves.
//
// The names, odd spellings included ("Celeron(Convington)", "Intel CPU(Unkown Family)"), are the
// texts this program has always written into the inventory; fleet tables compare them as they are,
// so none of them may be "corrected".
#include <string>

#include "probes/processor.h"

namespace orv {
namespace {

CpuidLeaf LeafOrZero(const std::optional<CpuidLeaf>& leaf) { return leaf.value_or(CpuidLeaf{}); }

bool Bit(uint32_t value, int bit) { return ((value >> bit) & 1u) != 0; }

std::string Num(uint32_t n) { return std::to_string(n); }

// The tables below keep the case labels of one row on one line.
// clang-format off

// ---- Intel cache descriptors --------------------------------------------------------------------

// L2 size in KB of a leaf 2 descriptor, or 0 when the descriptor names no L2 cache.
uint16_t L2OfDescriptor(uint8_t d) {
  switch (d) {
    case 0x1A: return 96;
    case 0x39: case 0x3B: case 0x41: case 0x79: case 0x81: return 128;
    case 0x3C: case 0x42: case 0x7A: case 0x7E: case 0x82: return 256;
    case 0x43: case 0x7B: case 0x83: case 0x86: return 512;
    case 0x44: case 0x7C: case 0x84: case 0x87: return 1024;
    case 0x45: case 0x85: return 2048;
    default: return 0;
  }
}

uint16_t L3OfDescriptor(uint8_t d) {
  switch (d) {
    case 0x22: return 512;
    case 0x23: return 1024;
    case 0x25: case 0x88: return 2048;
    case 0x29: case 0x89: return 4096;
    case 0x8A: return 8192;
    case 0x8D: return 3096;  // 3096, as this program has always reported it
    default: return 0;
  }
}

CacheSizes IntelCacheSizes(const CpuidRecord& record, uint32_t family) {
  CacheSizes sizes;
  if (!record.leaf2) return sizes;
  const CpuidLeaf& l = *record.leaf2;
  // EDX, ECX, EBX bytes 3..0, then EAX bytes 3..1 (byte 0 of EAX is the repeat count). A later
  // descriptor overwrites an earlier one; the registers' validity bits are not looked at.
  const uint32_t registers[4] = {l.edx, l.ecx, l.ebx, l.eax};
  for (int r = 0; r < 4; ++r) {
    const int lowestByte = r == 3 ? 1 : 0;
    for (int byte = 3; byte >= lowestByte; --byte) {
      const auto d = static_cast<uint8_t>(registers[r] >> (8 * byte));
      if (uint16_t kb = L2OfDescriptor(d)) sizes.l2 = kb;
      if (uint16_t kb = L3OfDescriptor(d)) sizes.l3 = kb;
      if (d == 0x40) {  // "no L2, or no L3 on a processor with an L2": which one goes by family
        if (family != 15)
          sizes.l2 = 0;
        else
          sizes.l3 = 0;
      }
    }
  }
  return sizes;
}

// ---- Intel --------------------------------------------------------------------------------------

std::string IntelFamily3(const CpuidRecord& record, const CpuSignature& s) {
  // Family 3 reads the type from all four bits 12-15.
  const uint32_t type = (LeafOrZero(record.leaf1).eax >> 12) & 0xF;
  if (s.model == 0 && type == 0) return "Intel386DX";
  if (s.model == 0 && type == 2) return "Intel386SX/CX/EX";
  if ((s.model == 0 || s.model == 1) && type == 4) return "Intel386SL";
  if (s.model == 4 && type == 0) return "RapidCAD coprocessor";
  return {};
}

std::string IntelFamily4(const CpuSignature& s) {
  switch (s.model) {
    case 0: case 1: return "Intel486DX";
    case 2: return "Intel486SX";
    case 3: return "Intel486DX2";
    case 4: return "Intel486SL";
    case 5: return "IntelSX2";
    case 7: return "LightbackEnhanced IntelDX2";
    case 8: return "IntelDX4";
    case 9: return "486DX4 (WB)";
    default: return "486 Family CPU(Unknown)";
  }
}

std::string IntelFamily5(const CpuSignature& s) {
  switch (s.model) {
    case 0: case 3: return "Pentium";
    case 1: case 2: return s.type == 1 ? "Pentium OverDrive" : "Pentium";
    case 4: return s.type == 1 ? "Pentium MMX OverDrive" : "Pentium with MMX(P55C)";
    case 5: return "Pentium(DX4 OverDrive)";
    case 6: return "Pentium(P5 OverDrive)";
    case 7: return "Mobile Pentium(P54C)";
    case 8: return "Mobile Pentium MMX(low voltage P55)";
    default: return "Pentium Family CPU(Unknown)";
  }
}

std::string IntelFamily6(const CpuSignature& s, const CacheSizes& c) {
  const bool dixonStepping = s.stepping == 10 || s.stepping == 13;
  switch (s.model) {
    case 0: return "Pentium Pro(A-step sample)";
    case 1: return "Pentium Pro";
    case 3: return s.type == 1 ? "Pentium MMX OverDrive" : "Pentium II(Klamath)";
    case 4: return "OverDrive";
    case 5:
      if (c.l2 == 0) return "Celeron(Convington)";
      if (c.l2 > 512) return "Pentium II Xeon(Deschutes)";
      if (c.l2 == 512 && s.type == 1) return "Pentium II OverDrive";
      if (c.l2 == 512) return "Pentium II(Deschutes)";
      return "Celeron(Convinton)";
    case 6:
      if (c.l2 == 256 && dixonStepping) return "Mobile Pentium II(Dixon)";
      if (c.l2 == 128 && dixonStepping) return "Mobile Celeron(Dixon-128K)";
      return "Celeron(Mendocino)";
    case 7: return s.brandIndex == 3 ? "Pentium III Xeon(Tanner)" : "Pentium III(Katmai)";
    case 8:
      if (s.brandIndex == 3) return "Pentium III Xeon(Cascades)";
      if (c.l2 == 256) return "Pentium III(Coppermine)";
      return "Celeron(Coppermine-128K)";
    case 9:
      if (c.l2 == 1024) return "Mobile Pentium M(Banias)";
      if (c.l2 == 512) return "Mobile Celeron(Banias)";
      return {};  // an L2 the table does not know: no name rather than a wrong one
    case 10: return "Pentium III Xeon(Cascades)";
    case 11:
      if (s.brandIndex == 6) return "Mobile Pentium III-M(Tualatin)";
      if (s.brandIndex == 7) return "Mobile Celeron(Tualatin)";
      if (c.l2 == 512) return "Pentium III-S(Tualatin)";
      if (s.brandIndex == 4) return "Pentium III(Tualatin)";
      return "Celeron(Tualatin)";
    case 12: return "Mobile Pentium M(Dothan)";
    default: return "P6 Family CPU(Unknown)";  // model 2 and above 12
  }
}

std::string IntelFamily15(const CpuSignature& s, const CacheSizes& c, unsigned logical) {
  if (s.extendedFamily == 1) return "Itanium 2(McKinley)";
  const uint32_t b = s.brandIndex;
  switch (s.model) {
    case 0: case 1:
      if (b == 0x0C) return "Xeon MP(Foster MP)";
      if (b == 0x0E) return "Xeon(Foster)";
      if (c.l2 == 512) return "Pentium 4(Willamette)";
      return "Celeron(Willamette-128K)";
    case 2:
      if (b == 0x0C) return "Xeon MP(Gallatin)";
      if (b == 0x0B && c.l3 != 0) return "Xeon(Gallatin)";
      if (b == 0x0B) return "Xeon(Prestonia)";
      if (b == 9 && c.l3 != 0) return "Pentium 4 Extreme Edition(Gallatin)";
      if (b == 9 && logical >= 2) return "Pentium 4 HT(Northwood)";
      if (b == 9) return "Pentium 4(Northwood)";
      if (b == 0x0E && logical >= 2) return "Mobile Pentium 4 HT(Northwood)";
      if (b == 0x0E) return "Mobile Pentium 4-M(Northwood)";
      if (c.l2 == 256) return "Mobile Celeron(Northwood-256K)";
      if (b == 0x0F && c.l2 == 512) return "Mobile Pentium 4-M ES(Northwood)";
      if (b == 0x0F) return "Mobile Celeron(Northwood-128K)";
      return "Celeron(Northwood-128K)";
    case 3: return "Pentium 4 HT(Prescott)";
    default: return "Pentium 4 Family CPU(Unknown)";
  }
}

std::string IntelName(const CpuidRecord& record, const CpuSignature& s, const CacheSizes& c) {
  switch (s.family) {
    case 3: return IntelFamily3(record, s);
    case 4: return IntelFamily4(s);
    case 5: return IntelFamily5(s);
    case 6: return IntelFamily6(s, c);
    case 7: return "Itanium(Merced)";
    case 15: return IntelFamily15(s, c, GetLogicalProcessorCount(record));
    default: return "Intel CPU(Unkown Family)";  // 0 to 2 and 8 to 14
  }
}

// ---- AMD ----------------------------------------------------------------------------------------

std::string AmdFamily4(const CpuSignature& s) {
  switch (s.model) {
    case 3: return "486DX2/DX4 (2xWT)";
    case 7: return "486DX2/DX2 (2xWB)";
    case 8: return "486DX4/5x86 (3xWT)";
    case 9: return "486DX4 SV8B (3xWB)";
    case 14: return "5x86 (4xWT)";
    case 15: return "5x86 (4xWB)";
    default: return "486 Family CPU(Unknown)";
  }
}

std::string AmdFamily5(const CpuSignature& s, const CacheSizes& c) {
  switch (s.model) {
    case 0: case 1: case 2: case 3: return "K5 Processor";
    case 6: case 7: return "K6 Processor";
    case 8: return "K6-2(Chompers)";
    case 9: return "K6-III(Sharptooth)";
    case 13:
      if (c.l2 == 128) return "K6-2+";
      if (c.l2 == 256) return "K6-III+";
      return "K6 Family CPU(Unknown)";
    default: return "K5/K6 Family CPU(Unknown)";
  }
}

std::string AmdFamily6(const CpuidRecord& record, const CpuSignature& s, const CacheSizes& c) {
  // Within a model the mobile test comes before the MP test.
  const bool mobile = IsAmdMobile(record);
  const bool mp = Bit(LeafOrZero(record.ext1).edx, 19);
  switch (s.model) {
    case 1: return "Athlon(K7)";
    case 2: return "Athlon(K75)";
    case 3: return "Duron(Spitfire)";
    case 4: return "Athlon(ThunderBird)";
    case 6:
      if (mobile && c.l2 >= 256) return "MobileAthlon4(Palomino)";
      if (mobile) return "MobileDuron(Palomino)";
      if (c.l2 < 256) return "Duron(Palomino)";
      if (mp && s.stepping > 2) return "AthlonMP(Palomino)";
      if (mp) return "AthlonXP/MP(Palomino)";
      return "AthlonXP(Palomino)";
    case 7: return mobile ? "MobileDuron(Morgan)" : "Duron(Morgan)";
    case 8:
      if (c.l2 < 256) return "Duron(Applebred)";
      if (mobile) return "MobileAthlonXP-M(Thoroughbred)";
      if (mp) return "AthlonMP(Thoroughbred)";
      return "AthlonXP(Thoroughbred)";
    case 10:
      if (c.l2 < 512) return "AthlonXP(Thorton)";
      if (mobile) return "MobileAthlonXP-M(Barton)";
      if (mp) return "AthlonMP(Barton)";
      return "AthlonXP(Barton)";
    default: return "Athlon Family CPU(Unknown)";  // 0, 5, 9 and above 10
  }
}

// The 64-bit family: the name comes from the brand field of leaf 0x80000001.
std::string AmdFamily15(const CpuidRecord& record, const CpuSignature& s) {
  const CpuidLeaf ext1 = LeafOrZero(record.ext1);
  if (!Bit(ext1.edx, 29)) return "AthlonXP(Paris)";

  const uint32_t brand = ext1.ebx & 0xFFF;
  const uint32_t selector = (brand >> 8) & 0xF;
  const uint32_t n = brand & 0xFF;
  std::string name;
  switch (selector) {
    case 0: {
      // No brand in the extended leaf: the brand index of leaf 1 names an Opteron. This name
      // carries "(SledgeHammer)" itself and still gets the core suffix below, so it can read
      // "Opteron UP 1xx(SledgeHammer)(ClawHammer)"; that is the table's intended output, kept so
      // that inventories stay comparable with earlier ones.
      const uint32_t b = LeafOrZero(record.leaf1).ebx & 0xFF;
      const std::string number = Num((b & 0x1F) * 2 + 38) + "(SledgeHammer)";
      switch ((b >> 5) & 7) {
        case 3: name = "Opteron UP 1" + number; break;
        case 4: name = "Opteron DP 2" + number; break;
        case 5: name = "Opteron MP 8" + number; break;
        default: name = "Hammer Engineering Sample"; break;
      }
      break;
    }
    case 1: name = "Athlon 64 " + Num(n + 22) + "00+"; break;
    case 2: name = "Mobile Athlon 64 " + Num(n + 22) + "00+"; break;
    case 3: name = "Opteron UP 1" + Num(n * 2 + 38); break;
    case 4: name = "Opteron DP 2" + Num(n * 2 + 38); break;
    case 5: name = "Opteron MP 8" + Num(n * 2 + 38); break;
    case 9: name = "Athlon 64 FX-" + Num(n + 24); break;
    default: name = "Hammer"; break;  // 6, 7, 8 and above 9
  }
  if (s.model < 5)
    name += "(ClawHammer)";
  else if (s.model == 5)
    name += "(SledgeHammer)";
  else
    name += "(Unknown)";
  return name;
}

std::string AmdName(const CpuidRecord& record, const CpuSignature& s, const CacheSizes& c) {
  switch (s.family) {
    case 4: return AmdFamily4(s);
    case 5: return AmdFamily5(s, c);
    case 6: return AmdFamily6(record, s, c);
    case 15: return AmdFamily15(record, s);
    default: return "AMD CPU(Unknown Family)";
  }
}

// ---- The smaller makers -------------------------------------------------------------------------

std::string UmcName(const CpuSignature& s) {
  if (s.family != 4) return "UMC CPU(Unknown)";
  if (s.model == 1) return "U5D (486DX)";
  if (s.model == 2) return "U5S (486SX)";
  return "UMC 486 Family CPU(Unknown)";
}

std::string CyrixName(const CpuSignature& s) {
  switch (s.family) {
    case 4:
      if (s.model == 4) return "MediaGX/GXm/GXi";
      if (s.model == 9) return "Cx5x86";
      return "Cx5x86 Family CPU(Unknown)";
    case 5:
      if (s.model == 0 || s.model == 2) return "Cx6x86";
      if (s.model == 4) return "GXm";
      return "Cx6x86 Family CPU(Unknown)";
    case 6:
      if (s.model == 0) return "6x86MX/MII";
      if (s.model == 5) return "VIA CyrixIII(Joshua)";
      return "6x86MX/MII Family CPU(Unknown)";
    default: return "Cyrix CPU(Unknown)";
  }
}

std::string NexGenName(const CpuSignature& s) {
  if (s.family == 5) return "Nx586";
  if (s.family == 6) return "Nx686";
  return "NexGen CPU(Unknown)";
}

std::string CentaurName(const CpuSignature& s) {
  switch (s.family) {
    case 5:
      switch (s.model) {
        case 4: return "WinChip C6";
        case 8:
          if (s.stepping >= 7 && s.stepping <= 9) return "WinChip 2A";
          if (s.stepping >= 10) return "WinChip 2B";
          return "WinChip 2";
        case 9: return "WinChip 3";
        default: return "IDT C6 Family CPU(Unknown)";
      }
    case 6:
      switch (s.model) {
        case 6: return "VIA Cyrix III(Samuel)";
        case 7: return s.stepping < 8 ? "VIA C3(Samuel2)" : "VIA C3(Ezra)";
        case 8: return "VIA C3(Ezra-T)";
        case 9: return "VIA C3(Nehemiah)";
        default: return "VIA C3 Family CPU(Unknown)";
      }
    default: return "Centaur CPU(Unknown)";
  }
}

std::string RiseName(const CpuSignature& s) {
  if (s.family != 5) return "Rise CPU(Unknown)";
  if (s.model == 0 || s.model == 2) return "mP6(iDragon)";
  if (s.model == 8 || s.model == 9) return "mP6(iDragon II)";
  return "Rise mP6 Family CPU(Unknown)";
}

std::string TransmetaName(const CpuidRecord& record, const CacheSizes& c) {
  if (!record.tm0 || record.tm0->eax <= 0x80860000u) return "Transmeta CPU(Unknown)";
  const uint32_t ebx = LeafOrZero(record.tm1).ebx;
  const bool revision010300 = (ebx >> 8) == 0x010300;
  switch (ebx >> 16) {
    case 0x0101: return "Crusoe TM3200";
    case 0x0102: return "Crusoe TM5400";
    case 0x0103:
      if (revision010300 && c.l2 == 256) return "Crusoe TM5500";
      if (revision010300) return "Crusoe TM5800";
      if (c.l2 == 256) return "Crusoe TM5400";
      return "Crusoe TM5600";
    case 0x0104:
      if (c.l2 == 256) return "Crusoe TM5500";
      if (c.l2 == 512) return "Crusoe TM5800";
      return {};  // an L2 the table does not know: no name rather than a wrong one
    case 0x0105: return c.l2 == 256 ? "Crusoe TM5500" : "Crusoe TM5800";
    default: return c.l2 == 1024 ? "Efficeon (Astro, TM8000)" : "Transmeta CPU(Unknown)";
  }
}

std::string SisName(const CpuSignature& s) { return s.family == 5 ? "SiS 55x" : "SiS CPU(Unknown)"; }

std::string NscName(const CpuSignature& s) {
  if (s.family != 4) return "NSC CPU(Unknown)";
  return s.model == 4 ? "Geode GXM/GXLV/GX1" : "Geode CPU(Unknown)";
}

// Not an x86 processor (or one without the identification instruction): the type that the
// operating system reports, when it knows one.
std::string OsTypeName(const std::string& vendor, uint32_t processorType) {
  switch (processorType) {
    case 386: return "386";
    case 486: return "486";
    case 2000: return "MIPS R2000";
    case 3000: return "MIPS R3000";
    case 4000: return "MIPS R4000";
    case 21064: return "Alpha 21064";
    case 21066: return "Alpha 21066";
    case 21164: return "Alpha 21164";
    case 601: return "PowerPC 601";
    case 603: return "PowerPC 603";
    case 604: return "PowerPC 604";
    case 620: return "PowerPC 620";
    case 10003: return "HITACHI SH3";
    case 10004: return "HITACHI SH3E";
    case 10005: return "HITACHI SH4";
    case 103: return "SH3";
    case 104: return "SH4";
    case 2577: return "StrongARM";
    case 1824: return "ARM 720";
    case 2080: return "ARM 820";
    case 2336: return "ARM 920";
    case 70001: return "ARM 7TDMI";
    default: break;
  }
  // Emulators that identify themselves through the instruction.
  if (vendor == "Compaq FX!32") return "Alpha";
  if (vendor == "ConnectixCPU") return "PowerPC";
  return {};
}

// clang-format on

}  // namespace

std::string VendorText(const CpuidRecord& record) {
  if (!record.available) return "Unknown";
  const CpuidLeaf l = LeafOrZero(record.leaf0);
  std::string vendor;
  for (uint32_t reg : {l.ebx, l.edx, l.ecx})
    for (int byte = 0; byte < 4; ++byte) vendor += static_cast<char>((reg >> (8 * byte)) & 0xFF);
  return vendor;
}

CpuSignature SignatureOf(const CpuidRecord& record) {
  const CpuidLeaf l = LeafOrZero(record.leaf1);
  CpuSignature s;
  s.stepping = l.eax & 0xF;
  s.model = (l.eax >> 4) & 0xF;
  s.family = (l.eax >> 8) & 0xF;
  s.type = (l.eax >> 12) & 0x3;
  s.extendedFamily = (l.eax >> 20) & 0xFF;
  s.brandIndex = l.ebx & 0xFF;
  return s;
}

CacheSizes GetCacheSizes(const CpuidRecord& record) {
  const std::string vendor = VendorText(record);
  const CpuSignature s = SignatureOf(record);
  if (vendor == "GenuineIntel") return IntelCacheSizes(record, s.family);

  CacheSizes sizes;
  const uint32_t ecx = LeafOrZero(record.ext6).ecx;
  sizes.l2 = static_cast<uint16_t>(ecx >> 16);
  // Processors whose extended leaf reports the L2 size wrongly.
  if (vendor == "CentaurHauls" && s.family == 6 && (s.model == 7 || s.model == 8))
    sizes.l2 = static_cast<uint16_t>(ecx >> 24);
  else if (vendor == "AuthenticAMD" && s.family == 6 && s.model == 3 && s.stepping == 0)
    sizes.l2 = 64;
  else if (vendor == "AuthenticAMD" && s.family == 6 && s.model == 4 && (s.stepping == 0 || s.stepping == 1))
    sizes.l2 = 256;
  return sizes;
}

unsigned GetLogicalProcessorCount(const CpuidRecord& record) {
  const CpuidLeaf l = LeafOrZero(record.leaf1);
  return Bit(l.edx, 28) ? (l.ebx >> 16) & 0xFF : 0;
}

bool IsAmdMobile(const CpuidRecord& record) { return Bit(LeafOrZero(record.ext7).edx, 1); }

std::string ProcessorNameFromLeaves(const CpuidRecord& record) {
  const std::string vendor = VendorText(record);
  const CpuSignature s = SignatureOf(record);
  const CacheSizes c = GetCacheSizes(record);

  if (vendor == "GenuineIntel") return IntelName(record, s, c);
  if (vendor == "AuthenticAMD") return AmdName(record, s, c);
  if (vendor == "UMC UMC UMC ") return UmcName(s);
  if (vendor == "CyrixInstead") return CyrixName(s);
  if (vendor == "NexGenDriven") return NexGenName(s);
  if (vendor == "CentaurHauls") return CentaurName(s);
  if (vendor == "RiesRiseRise") return RiseName(s);
  if (vendor == "GenuineTMx86") return TransmetaName(record, c);
  if (vendor == "SiS SiS SiS ") return SisName(s);
  if (vendor == "Geode by NSC") return NscName(s);
  return OsTypeName(vendor, record.processorType);
}

}  // namespace orv
