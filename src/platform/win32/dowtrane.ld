/* Added to the linker's own script. The DWARF unwind tables that libgcc's
   helpers bring along (__udivdi3 on i686) are only read by a C runtime's
   start-up code and by exception handling, and the program has neither:
   dropped, they save a section. */
SECTIONS
{
  /DISCARD/ : { *(.eh_frame) }
}
INSERT BEFORE .text;
