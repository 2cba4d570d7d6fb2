// Included first in every file of the Windows build (-include, CMakeLists.txt).
// The assembler gives each file's code and constants sections an alignment
// of its own, 16 bytes on x86-64 and 4 on i686, and the linker pads every
// file's part of dowtrane.exe to it. Code needs no alignment, and the
// compiler states each constant's own (.align) where it is laid out, which
// raises its section's alignment to that: so both sections start at 1.
// A digit alone among a section's flags sets its alignment and nothing else;
// ".rdata" keeps the compiler's own flags ("dr": read-only data), and the
// code section is the current one again after this, as before it.
#pragma once
asm(".section .text,\"0\"\n\t.section .rdata,\"dr0\"\n\t.text");
