/* The layout of dowtrane.exe, in place of the linker's own script (which it
   follows otherwise). Each section is padded to 512 bytes in the file, so
   fewer sections make a smaller program: code, constants and the import
   tables share the one read-only .text section. */
SECTIONS
{
  . = SIZEOF_HEADERS;
  . = ALIGN(__section_alignment__);
  .text __image_base__ + (__section_alignment__ < 0x1000 ? . : __section_alignment__) :
  {
    *(.text)
    *(SORT(.text$*))
    *(.text.*)
    *(.rdata)
    *(SORT(.rdata$*))
    /* Nothing runs global constructors before DowtraneEntry; the assertion
       below stops the link when there are any. */
    dowtrane_constructors = .;
    KEEP (*(.ctors)) KEEP (*(.ctor)) KEEP (*(SORT_BY_NAME(.ctors.*)))
    KEEP (*(.dtors)) KEEP (*(.dtor)) KEEP (*(SORT_BY_NAME(.dtors.*)))
    dowtrane_constructors_end = .;
    /* The import tables, in the read-only section as well: the loader finds
       them through the header's directories, not by a section's name, and
       makes the address table writable while it fills it in. The linker
       sets those directories from the symbols named after the parts (the
       import directory from .idata$2 to .idata$4, the address table from
       .idata$5 to .idata$6); the parts keep the order of its own script. */
    . = ALIGN(4);
    ".idata$2" = ABSOLUTE(.) - __image_base__;
    KEEP (SORT(*)(.idata$2))
    KEEP (SORT(*)(.idata$3))
    LONG (0); LONG (0); LONG (0); LONG (0); LONG (0);
    . = ALIGN(8);
    ".idata$4" = ABSOLUTE(.) - __image_base__;
    KEEP (SORT(*)(.idata$4))
    ".idata$5" = ABSOLUTE(.) - __image_base__;
    KEEP (SORT(*)(.idata$5))
    ".idata$6" = ABSOLUTE(.) - __image_base__;
    KEEP (SORT(*)(.idata$6))
    /* The DLL names, from the import libraries' tails. Each function's own
       member has four bytes of .idata$7 as well, a reference that only pulls
       its library's head into the link and that nothing in the image reads:
       those are discarded below. */
    KEEP (SORT(*:*t.o)(.idata$7))
  }
  .data BLOCK(__section_alignment__) : { *(.data) *(.data2) *(SORT(.data$*)) }
  .pdata BLOCK(__section_alignment__) : { KEEP (*(.pdata*)) }
  .xdata BLOCK(__section_alignment__) : { KEEP (*(.xdata*)) }
  .bss BLOCK(__section_alignment__) : { *(.bss) *(COMMON) }
  .rsrc BLOCK(__section_alignment__) : SUBALIGN(4) { KEEP (*(.rsrc)) KEEP (*(.rsrc$*)) }
  .reloc BLOCK(__section_alignment__) : { *(.reloc) }
  /* DWARF unwind tables come with libgcc's helpers (__udivdi3 on i686) and
     are read only by a C runtime's start-up code and exception handling;
     .rdata$zzz holds compilers' version strings. */
  /DISCARD/ :
  {
    *(.eh_frame*) *(.rdata$zzz) *(.debug*) *(.drectve) *(.note.GNU-stack) *(.gnu.lto_*)
    *(.idata$7)
  }
}
ASSERT(dowtrane_constructors_end == dowtrane_constructors,
       "a global constructor or destructor would never run: there is no C runtime to run it")
