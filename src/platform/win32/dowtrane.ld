/* The layout of dowtrane.exe, in place of the linker's own script (which it
   follows otherwise). Each section is padded to 512 bytes in the file, so
   fewer sections make a smaller program: code and constants share the one
   read-only .text section. */
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
  }
  .data BLOCK(__section_alignment__) : { *(.data) *(.data2) *(SORT(.data$*)) }
  .pdata BLOCK(__section_alignment__) : { KEEP (*(.pdata*)) }
  .xdata BLOCK(__section_alignment__) : { KEEP (*(.xdata*)) }
  .bss BLOCK(__section_alignment__) : { *(.bss) *(COMMON) }
  /* The loader finds the import tables by this section; its parts keep the
     order of the linker's own script. */
  .idata BLOCK(__section_alignment__) :
  {
    KEEP (SORT(*)(.idata$2))
    KEEP (SORT(*)(.idata$3))
    LONG (0); LONG (0); LONG (0); LONG (0); LONG (0);
    . = ALIGN(8);
    KEEP (SORT(*)(.idata$4))
    __IAT_start__ = .;
    KEEP (SORT(*)(.idata$5))
    __IAT_end__ = .;
    KEEP (SORT(*)(.idata$6))
    KEEP (SORT(*)(.idata$7))
  }
  .rsrc BLOCK(__section_alignment__) : SUBALIGN(4) { KEEP (*(.rsrc)) KEEP (*(.rsrc$*)) }
  .reloc BLOCK(__section_alignment__) : { *(.reloc) }
  /* DWARF unwind tables come with libgcc's helpers (__udivdi3 on i686) and
     are read only by a C runtime's start-up code and exception handling;
     .rdata$zzz holds compilers' version strings. */
  /DISCARD/ :
  {
    *(.eh_frame*) *(.rdata$zzz) *(.debug*) *(.drectve) *(.note.GNU-stack) *(.gnu.lto_*)
  }
}
ASSERT(dowtrane_constructors_end == dowtrane_constructors,
       "a global constructor or destructor would never run: there is no C runtime to run it")
