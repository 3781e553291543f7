// A library exporting routines written in assembly whose symbols state no size, beside one
// compiled routine whose symbol does.

asm(R"(
    .text
    .globl UnsizedDouble
    .type UnsizedDouble, @function
UnsizedDouble:
    movl %edi, %eax
    addl %eax, %eax
    ret
    .globl UnsizedTriple
    .type UnsizedTriple, @function
UnsizedTriple:
    leal (%rdi,%rdi,2), %eax
    ret
)");

extern "C" int SizedQuadruple(int value) {
    return value * 4;
}
