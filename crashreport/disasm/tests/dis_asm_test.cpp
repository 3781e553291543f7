#include "crashreport/disasm/dis_asm.h"

#include "crashreport/disasm/tests/bytes_from_hex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace faulttrap;

namespace {

struct TTextCase {
    const char* Bytes;
    const char* Text;
    std::size_t Length;
};

constexpr std::uint64_t kAddress = 0x1000;

void ExpectTexts(TMachineMode mode, const std::vector<TTextCase>& cases) {
    const TDisAsm disasm(mode);
    for (const TTextCase& c : cases) {
        const std::vector<std::uint8_t> bytes = BytesFromHex(c.Bytes);
        const TDecodedInstruction decoded = disasm.Decode(bytes, kAddress);
        EXPECT_EQ(decoded.Text, c.Text) << c.Bytes;
        EXPECT_EQ(decoded.Length, c.Length) << c.Bytes;
    }
}

TEST(DisAsm32, WritesEveryOperandKindInTheReportNotation) {
    ExpectTexts(
        TMachineMode::Bits32,
        {
            // registers, segment registers, padding of the mnemonic to 8 characters
            {"06", "push    es", 1},
            {"89 C8", "mov     eax, ecx", 2},
            {"66 89 C8", "mov     ax, cx", 3},
            {"0F 20 C0", "mov     eax, C0", 3},
            {"0F 21 C8", "mov     eax, D1", 3},
            {"0F 6F C1", "movq    MM0, MM1", 3},
            // no operands: the mnemonic alone
            {"C3", "ret", 1},
            {"0F 0B", "ud2", 2},
            // immediates: "$" and two digits per byte; arithmetic and sign-extended ones signed
            {"04 05", "add     al, +$05", 2},
            {"66 05 34 12", "add     ax, +$1234", 4},
            {"05 78 56 34 12", "add     eax, +$12345678", 5},
            {"83 E8 F0", "sub     eax, -$10", 3},
            {"6A FF", "push    -$01", 2},
            {"6B C0 F6", "imul    eax, eax, -$0A", 3},
            {"B8 01 00 00 00", "mov     eax, $00000001", 5},
            {"68 00 20 40 00", "push    $00402000", 5},
            {"C6 00 0A", "mov     byte ptr [eax], $0A", 3},
            {"C8 10 00 01", "enter   $0010, $01", 4},
            {"C2 08 00", "ret     $0008", 3},
            {"D1 E0", "shl     eax, $01", 2},
            // relative jumps and calls: the signed offset
            {"74 FE", "jz      -$02", 2},
            {"EB 10", "jmp     +$10", 2},
            {"E8 FB FF FF FF", "call    -$00000005", 5},
            {"EA 78 56 34 12 22 11", "jmp far $1122:$12345678", 7},
            // memory: size words, segment overrides, direct addresses, scaled index
            {"66 C7 00 34 12", "mov     word ptr [eax], $1234", 5},
            {"DD 00", "fld     qword ptr [eax]", 2},
            {"DB 28", "fld     tbyte ptr [eax]", 2},
            {"0F 01 00", "sgdt    [eax]", 3},
            {"8D 04 40", "lea     eax, [eax+eax*2]", 3},
            {"A1 78 56 34 12", "mov     eax, dword ptr [$12345678]", 5},
            {"FF 15 78 56 34 12", "call    dword ptr [$12345678]", 6},
            {"64 A1 18 00 00 00", "mov     eax, dword ptr fs:[$00000018]", 6},
            {"26 8B 03", "mov     eax, dword ptr es:[ebx]", 3},
            {"8B 04 24", "mov     eax, dword ptr [esp]", 3},
            {"8B 44 85 F0", "mov     eax, dword ptr [ebp+eax*4-$10]", 4},
            {"8B 45 00", "mov     eax, dword ptr [ebp+$00]", 3},
            {"8B 84 85 00 01 00 00", "mov     eax, dword ptr [ebp+eax*4+$0100]", 7},
            {"8B 84 85 00 FF FF FF", "mov     eax, dword ptr [ebp+eax*4-$0100]", 7},
            {"8B 84 C8 78 56 34 12", "mov     eax, dword ptr [eax+ecx*8+$12345678]", 7},
            // 16-bit addressing
            {"67 8B 00", "mov     eax, dword ptr [bx+si]", 3},
            {"67 8B 46 10", "mov     eax, dword ptr [bp+$10]", 4},
            {"67 8B 87 00 01", "mov     eax, dword ptr [bx+$0100]", 5},
            // prefixes stand in the mnemonic column, the instruction in the operand column
            {"F0 FF 01", "lock    inc     dword ptr [ecx]", 3},
            {"F0 0F B1 11", "lock    cmpxchg dword ptr [ecx], edx", 4},
            {"F3 AB", "rep     stosd", 2},
            {"F3 A4", "rep     movsb", 2},
            {"F2 AE", "repne   scasb", 2},
            // multi-byte NOPs: the memory operand only
            {"90", "nop", 1},
            {"0F 1F 00", "nop     dword ptr [eax]", 3},
            {"0F 1F 44 00 00", "nop     dword ptr [eax+eax+$00]", 5},
            {"66 0F 1F 44 00 00", "nop     word ptr [eax+eax+$00]", 6},
            {"0F 1F 80 00 00 00 00", "nop     dword ptr [eax+$0000]", 7},
            // a register where only memory fits, a register number that does not exist
            {"8D C0", "lea     eax, ???", 2},
            {"8D C0 90", "lea     eax, ???", 2},
            {"C5 C0", "DB      $C5  //", 1}, // a VEX prefix, not lds
            {"FF D8", "call far ???", 2},
            {"0F C7 C8", "cmpxchg8b ???", 3},
            {"F0 01 C0", "lock    add     ???, eax", 3},
            {"8E F0", "mov     ???, ax", 2},
            {"8C F8", "mov     eax, ???", 2},
            // bytes that start no instruction, and a truncated instruction
            {"0F FF", "DB      $0F  //", 1},
            {"62", "DB      $62  //", 1},
            {"A1 78 56", "DB      $A1  //", 1},
        });
}

TEST(DisAsm64, WritesRexRipRelativeScaledAndInvalidForms) {
    ExpectTexts(TMachineMode::Bits64,
                {
                    {"48 89 C8", "mov     rax, rcx", 3},
                    {"4D 89 C8", "mov     r8, r9", 3},
                    {"41 FF D4", "call    r12", 3},
                    {"48 83 EC 28", "sub     rsp, +$28", 4},
                    {"48 C7 C0 FF FF FF FF", "mov     rax, -$00000001", 7},
                    {"48 B8 88 77 66 55 44 33 22 11", "mov     rax, $1122334455667788", 10},
                    {"68 05 00 00 00", "push    +$00000005", 5},
                    // RIP-relative operands show the absolute address (end of instruction + offset)
                    {"48 8B 05 00 10 00 00", "mov     rax, qword ptr [$0000000000002007]", 7},
                    {"48 8D 3D F9 EF FF FF", "lea     rdi, [$0000000000000000]", 7},
                    {"FF 25 00 10 00 00", "jmp     qword ptr [$0000000000002006]", 6},
                    // SIB with scale, 8- and 32-bit displacements
                    {"8B 44 85 F0", "mov     eax, dword ptr [rbp+rax*4-$10]", 4},
                    {"4C 8B 84 8D 00 FF FF FF", "mov     r8, qword ptr [rbp+rcx*4-$0100]", 8},
                    {"4A 8B 44 C4 08", "mov     rax, qword ptr [rsp+r8*8+$08]", 5},
                    {"8B 04 25 00 10 00 00", "mov     eax, dword ptr [$00001000]", 7},
                    {"64 48 8B 04 25 28 00 00 00", "mov     rax, qword ptr fs:[$00000028]", 9},
                    {"0F 28 44 24 10", "movaps  xmm0, xmmword ptr [rsp+$10]", 5},
                    {"F3 0F 1E FA", "endbr64", 4},
                    {"F3 48 AB", "rep     stosq", 3},
                    {"F0 48 0F B1 0A", "lock    cmpxchg qword ptr [rdx], rcx", 5},
                    {"66 0F 1F 84 00 00 00 00 00", "nop     word ptr [rax+rax+$0000]", 9},
                    {"0F 1F 40 00", "nop     dword ptr [rax+$00]", 4},
                    {"48 8D C0", "lea     rax, ???", 3},
                    {"4C 8D 04 24", "lea     r8, [rsp]", 4},
                    // opcodes that do not exist in 64-bit mode
                    {"06", "DB      $06  //", 1},
                    {"EA 78 56 34 12 22 11", "DB      $EA  //", 1},
                    {"D6", "DB      $D6  //", 1},
                });
}

TEST(DisAsm, RecognisesReturns) {
    const TDisAsm disasm(TMachineMode::Bits64);
    for (const char* hex : {"C3", "C2 08 00", "F3 C3", "CB"}) {
        const std::vector<std::uint8_t> bytes = BytesFromHex(hex);
        EXPECT_TRUE(disasm.Decode(bytes, kAddress).IsReturn) << hex;
        EXPECT_TRUE(disasm.Shape(bytes).IsReturn) << hex;
    }
    // Opcodes next to the returns that are no returns: leave, mov to memory.
    for (const char* hex : {"C9", "C7 00 01 00 00 00", "E8 00 00 00 00"}) {
        const std::vector<std::uint8_t> bytes = BytesFromHex(hex);
        EXPECT_FALSE(disasm.Decode(bytes, kAddress).IsReturn) << hex;
        EXPECT_FALSE(disasm.Shape(bytes).IsReturn) << hex;
    }
}

TEST(DisAsm, ShapeAgreesWithDecode) {
    const TDisAsm disasm(TMachineMode::Bits64);
    for (const char* hex :
         {"48 8B 05 00 10 00 00", "0F FF", "C3", "48 B8 88 77 66 55 44 33 22 11"}) {
        const std::vector<std::uint8_t> bytes = BytesFromHex(hex);
        const TDecodedInstruction decoded = disasm.Decode(bytes, kAddress);
        const TInstructionShape shape = disasm.Shape(bytes);
        EXPECT_EQ(shape.Length, decoded.Length) << hex;
        EXPECT_EQ(shape.Valid, decoded.Valid) << hex;
    }
}

// What one naming callback was asked.
struct TNamingCall {
    std::string Kind;
    std::uint64_t OperandAddress;
    std::uint64_t Value;
    unsigned Size;
    std::string Text;
};

template <const char* Kind>
void Record(void* userData, std::uint64_t operandAddress, std::uint64_t value, unsigned size,
            std::string& text) {
    static_cast<std::vector<TNamingCall>*>(userData)->push_back(
        {Kind, operandAddress, value, size, text});
    text = std::string(Kind) + "_name";
}

constexpr char kJump[] = "jump";
constexpr char kCall[] = "call";
constexpr char kMemory[] = "memory";
constexpr char kSegment[] = "segment";
constexpr char kImmediate[] = "immediate";

TEST(DisAsm, AsksEachNamingCallbackForItsOperandsAndUsesTheNames) {
    std::vector<TNamingCall> calls;
    const TNamingCallbacks callbacks{Record<kJump>,    Record<kCall>,      Record<kMemory>,
                                     Record<kSegment>, Record<kImmediate>, &calls};
    struct TCase {
        TMachineMode Mode;
        const char* Bytes;
        const char* Text;
        TNamingCall Call;
    };
    const std::vector<TCase> cases = {
        {TMachineMode::Bits32, "74 10", "jz      jump_name", {kJump, 0x1001, 0x1012, 1, "+$10"}},
        {TMachineMode::Bits32,
         "E8 FB FF FF FF",
         "call    call_name",
         {kCall, 0x1001, 0x1000, 4, "-$00000005"}},
        {TMachineMode::Bits32,
         "A1 78 56 34 12",
         "mov     eax, memory_name",
         {kMemory, 0x1001, 0x12345678, 4, "dword ptr [$12345678]"}},
        {TMachineMode::Bits32,
         "64 A1 18 00 00 00",
         "mov     eax, segment_name",
         {kSegment, 0x1002, 0x18, 4, "dword ptr fs:[$00000018]"}},
        {TMachineMode::Bits32,
         "68 00 20 40 00",
         "push    immediate_name",
         {kImmediate, 0x1001, 0x402000, 4, "$00402000"}},
        {TMachineMode::Bits64,
         "48 8D 3D 00 10 00 00",
         "lea     rdi, memory_name",
         {kMemory, 0x1003, 0x2007, 0, "[$0000000000002007]"}},
        {TMachineMode::Bits64,
         "FF 15 00 10 00 00",
         "call    memory_name",
         {kMemory, 0x1002, 0x2006, 8, "qword ptr [$0000000000002006]"}},
        {TMachineMode::Bits64,
         "48 C7 C0 FF FF FF FF",
         "mov     rax, immediate_name",
         {kImmediate, 0x1003, ~std::uint64_t{0}, 4, "-$00000001"}},
    };
    for (const TCase& c : cases) {
        calls.clear();
        const TDisAsm disasm(c.Mode, callbacks);
        EXPECT_EQ(disasm.Decode(BytesFromHex(c.Bytes), kAddress).Text, c.Text) << c.Bytes;
        ASSERT_EQ(calls.size(), 1u) << c.Bytes;
        EXPECT_EQ(calls[0].Kind, c.Call.Kind) << c.Bytes;
        EXPECT_EQ(calls[0].OperandAddress, c.Call.OperandAddress) << c.Bytes;
        EXPECT_EQ(calls[0].Value, c.Call.Value) << c.Bytes;
        EXPECT_EQ(calls[0].Size, c.Call.Size) << c.Bytes;
        EXPECT_EQ(calls[0].Text, c.Call.Text) << c.Bytes;
    }
}

TEST(DisAsm, RegisterAddressesAreNotNamed) {
    std::vector<TNamingCall> calls;
    const TDisAsm disasm(TMachineMode::Bits64, {Record<kJump>, Record<kCall>, Record<kMemory>,
                                                Record<kSegment>, Record<kImmediate>, &calls});
    EXPECT_EQ(disasm.Decode(BytesFromHex("8B 44 85 F0"), kAddress).Text,
              "mov     eax, dword ptr [rbp+rax*4-$10]");
    EXPECT_TRUE(calls.empty());
}

} // namespace
