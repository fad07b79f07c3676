; Veltra-16 firmware: machine addresses, screen codes and system variables.

; ---- machine -----------------------------------------------------------
TEXTMD  equ 3800h       ; read: text picture mode
BITMD   equ 3900h       ; read: bitmap picture mode
KBD     equ 3A00h       ; keyboard: each 0 bit of the low address byte selects a row
PULSE   equ 3C00h       ; write: a 77 us beeper pulse (the tape output too)
PICOFF  equ 3E00h       ; read: picture off, NMI line and latch cleared
PICON   equ 3F00h       ; read: picture on, NMI line and latch cleared
USERRAM equ 4200h       ; first byte free for programs
BITMAP  equ 6000h       ; bitmap picture: 200 lines of 40 bytes
SCREEN  equ 0C000h      ; character RAM, 1 KB
PICTURE equ 0E000h      ; picture area: opcode fetches here draw cells
TAPEIN  equ 0E000h      ; tape input while the picture is off

; The text screen: 25 rows of 40 cells. The picture fetch shows the code at
; character RAM index i in column (i - 1) mod 40, so row y, column x is kept
; at index 40 * y + x + 1 (0C001h to 0C3E8h). Index 0 is the code of the
; border fetch (always a space); indexes 3E9h to 3FFh are never shown.
ROWS    equ 25
COLS    equ 40
SCRTOP  equ SCREEN+1
HIDDEN  equ SCREEN+3E9h ; a cell that is never shown: the "no cursor" place

; ---- screen codes ------------------------------------------------------
; 00-0F block graphics, 10-3F "0" to "_" (the character minus 20h),
; 40 space, 41-49 Á É Í Ó Ö Ő Ú Ü Ű, 60-70 ^ + - * / ( ) = . , ! " # $ % & ',
; 80-FF the same glyphs inverted. Key codes below 10h are control keys.
SPACE   equ 40h
C_0     equ 10h         ; "0"
C_A     equ 21h         ; "A"
C_COLON equ 1Ah
C_GT    equ 1Eh         ; ">"
C_QUEST equ 1Fh         ; "?"
C_MINUS equ 62h
K_LEFT  equ 01h
K_RIGHT equ 02h
K_BREAK equ 03h
K_UP    equ 04h
K_DOWN  equ 05h
K_DEL   equ 07h
K_RUB   equ 08h
K_ENTER equ 0Dh
NOKEY   equ 0FFh        ; no key held
ENDL    equ 0FFh        ; end of a line in the line buffer

; ---- system variables (4000h-40FFh) -------------------------------------
VMODE   equ 4000h       ; 0 text, 1 bitmap: read by the picture generator each frame
FRAMES  equ 4001h       ; 2 bytes: frames drawn
CURROW  equ 4003h       ; cursor row 0-24
CURCOL  equ 4004h       ; cursor column 0-39
RAMTOP  equ 4005h       ; 2 bytes: last RAM address
RAMKB   equ 4007h       ; RAM size in KB
KREPEAT    equ 4008h       ; frame (low byte) of the next key repeat
CURCH   equ 4009h       ; the code under the blinking cursor
CURADR  equ 400Ah       ; 2 bytes: the cell of the blinking cursor
EDSTART equ 400Ch       ; first column of the line being edited
DUMPADR equ 400Dh       ; 2 bytes: where the next listing starts
LBPTR   equ 400Fh       ; 2 bytes: parse position in LBUF
NAMEB   equ 4010h       ; 10 bytes: the name asked for by a load
TXTYPE  equ 401Ah       ; tape: block type byte being sent
TXSUM   equ 401Bh       ; tape: checksum being sent
RXSUM   equ 401Ch       ; tape: checksum of the block being read
RXTYPE  equ 401Dh       ; tape: block type expected
HDR     equ 4020h       ; 14 bytes: tape header: name (10), start (2), length (2)
HDRSTART equ HDR+10
HDRLEN  equ HDR+12
LASTK   equ 404Bh       ; complement of the code of the key held at the last scan
LBUF    equ 4050h       ; 41 bytes: the line just entered, ENDL at its end
HIST    equ 4080h       ; 41 bytes: the line before it (recalled by the Up key)
STACK   equ 4200h       ; the stack grows down from here into 4100h-41FFh
