; Veltra-16 firmware ("Szabad ROM"): 8 KB at 0000h.
;
; Cold start, the picture generator, the keyboard, a line editor, a
; machine-code monitor and the pulse tape. Written for this emulator from
; the machine's documented behaviour; assembled with pasmo.
;
; Fixed places:
;   0000h  cold start
;   0030h  RST 30h: end of a bitmap picture line
;   0038h  RST 38h: end of a text picture line (and of a border line)
;   0066h  NMI: draws one frame
;   0309h  CALL 0010h, the key poll: afterwards carry set means a new key
;          press with its code in C (its complement is at 404Bh)
;
; ---- How the picture is drawn --------------------------------------------
;
; The machine runs at 4 MHz; a frame is 312 scan lines of 256 T-states
; (79 872 T). While the picture is on, the machine raises an NMI at the
; start of each frame. The CPU then draws the picture by executing the
; picture area 0E000h-0FFFFh: every opcode fetch there stores one 8-pixel
; cell and returns 3Fh (CCF), except the fetch made while R is 2, which ends
; the scan line and returns RST 38h (text mode) or RST 30h (bitmap mode).
;   Text mode: the cell shows glyph row (address bits 10-12) of the code at
;     character RAM index (address bits 0-9), in column (index - 1) mod 40.
;   Bitmap mode: the cell shows the byte at 6000h + (address AND 1FFFh), in
;     the column that R gives: R = 91 is column 0, counting up through 127,
;     0, 1 to R = 2, column 39.
; The 240 picture lines sit at frame-buffer row 20 onward. Our pictures are
; 200 lines, centred: 20 border lines, then 200 lines of text (25 rows of 8
; glyph rows) or bitmap (200 lines of 40 bytes). The bottom 20 lines are
; never drawn and stay black (the machine blanks them while the picture is
; off, and nothing of ours draws there).
;
; Every line takes exactly one scan line, 256 T, from one end-of-line fetch
; to the next, so that the picture keeps step with the beam:
;   40 fetches: 39 x CCF (4 T) = 156 T, then the RST (11 T), which is the
;   fetch with R = 2, then the line-end handler (89 T in all, padded where
;   its paths differ), which sets R to 90 and jumps to the next line: the
;   JP (HL) fetch takes R to 91, so the 40th cell is fetched with R = 2.
; A border line is a single fetch of 0E000h with R = 2: it draws the blank
; glyph row 0 of the space kept at index 0 (column 23) and the rest of the
; line is a delay.
;
; Frame timeline (T-states from the start of the frame; the NMI is taken
; after the first instruction of the frame, 4 to 23 T):
;      ~0     NMI: registers saved, frame counter, border set-up
;    ~240     the first border line ends (scan line counter 0 -> 1)
;   +256 n    border lines 2 to 20, then picture lines 1 to 200
;  ~56 300    the last picture line ends; the handler acknowledges the NMI
;             (the read of 3F00h clears the NMI line and latch, so that the
;             next frame's NMI is taken), restores the registers and
;  ~56 460    returns
;  ~56 460 - 79 872   the main program: about 23 400 T (29 %) per frame
; The handler keeps AF, BC, DE, HL and IX of the interrupted program (on its
; stack, 12 bytes); IY and the alternate registers are not touched.
;
; Tape and beeper: see veltra16-tape.inc. The picture is off during a tape
; transfer, since the frame's picture would break the pulse timing.

        include "veltra16-defs.inc"

R_START equ 90          ; R after the line-end handler: the 40th cell has R = 2
BORDER  equ 20          ; border lines above the picture
KEYPOLL equ 0309h       ; the key poll instruction

; ---- 0000h: cold start -----------------------------------------------------
        org  0000h
        di
        jp   cold_start

; ---- 0010h: the key scan, called from the key poll at 0309h -------------------
; A CALL 0010h is three bytes whose last one, 00h, is a NOP: when a paste
; that has used up its text puts the instruction back while the CPU stands
; on that byte, the poll goes on as "no key".
        org  0010h
        jp   keyscan

; ---- 0030h: RST 30h, the end of a bitmap line ----------------------------------
; Reached 11 T after the start of the line's last fetch.
        org  0030h
bitmap_line:
        pop  hl                  ; 10  21  the address after the line: the next line
        djnz bitmap_next         ; 13  34  (8 after the 200th line)
        jp   picture_end

; ---- 0038h: RST 38h, the end of a text or border line ----------------------------
; IX holds the handler of the current part of the picture.
        org  0038h
        jp   (ix)                ;  8  19

; The rest of a bitmap line end (from 0030h).
bitmap_next:                     ;     34
        ld   a,i                 ;  9  43  (padding)
        ld   a,i                 ;  9  52
        ld   a,i                 ;  9  61
        ld   a,i                 ;  9  70
        jp   line_go             ; 10  80

; ---- 0066h: NMI, one frame of picture ---------------------------------------------
        org  0066h
nmi:    push af
        push bc
        push de
        push hl
        push ix
        ld   hl,(FRAMES)
        inc  hl
        ld   (FRAMES),hl
        ld   a,(TEXTMD)          ; the border lines are fetched in text mode
        ld   c,BORDER
        ld   a,(VMODE)
        or   a
        jr   nz,nmi_bitmap
        ld   ix,border_text
        ld   hl,PICTURE+1        ; the first text line: glyph row 0, indexes 1-40
        ld   de,0400h-COLS       ; from the end of a glyph row to the next row's start
        jr   nmi_start
nmi_bitmap:
        ld   ix,border_bitmap
        ld   hl,PICTURE          ; the first bitmap line: bytes 6000h-6027h
nmi_start:
        ld   a,1                 ; R = 1: the JP fetch makes it 2 for 0E000h
        ld   r,a
        jp   PICTURE

; Border lines. Entered 19 T after the start of the border fetch (RST 38h
; and JP (IX)); C counts the border lines still to end.
border_text:
        pop  af                  ; 10  29  the return address is not needed
        dec  c                   ;  4  33
        jr   z,border_text_end   ;  7  40  (12, 45)
        jp   border_wait         ; 10  50
border_bitmap:
        pop  af                  ; 10  29
        dec  c                   ;  4  33
        jr   z,border_bitmap_end ;  7  40  (12, 45)
        jp   border_wait         ; 10  50
border_wait:
        ld   b,13                ;  7  57
bw_loop:
        djnz bw_loop             ; 164 221
        ld   a,i                 ;  9  230
        ld   a,1                 ;  7  237
        ld   r,a                 ;  9  246
        jp   PICTURE             ; 10  256: the next border fetch

; After the last border line: the first picture line.
border_text_end:                 ;     45
        ld   b,8                 ;  7  52  glyph rows of the first text row
        ld   c,ROWS              ;  7  59
        ld   ix,text_line        ; 14  73
        ld   a,0                 ;  7  80  (padding)
        ld   a,R_START           ;  7  87
        ld   r,a                 ;  9  96
        jp   (hl)                ;  4  100, + 39 cells = 256
border_bitmap_end:               ;     45
        ld   a,(BITMD)           ; 13  58  bitmap mode from the next fetch on
        ld   b,200               ;  7  65
        ld   a,i                 ;  9  74  (padding)
        inc  de                  ;  6  80  (padding)
        ld   a,R_START           ;  7  87
        ld   r,a                 ;  9  96
        jp   (hl)                ;  4  100

; The end of a text line, 19 T after the start of its last fetch. HL gets the
; address after the line's last cell; B counts the glyph rows left in the
; text row, C the text rows, DE = 400h - 40.
text_line:
        pop  hl                  ; 10  29
        djnz text_same_row       ;  8  37  (13, 42)
        ld   a,h                 ;  4  41  glyph row 7 done: back to glyph row 0,
        sub  1Ch                 ;  7  48  one text row further (HL is past the row)
        ld   h,a                 ;  4  52
        ld   b,8                 ;  7  59
        dec  c                   ;  4  63
        jr   z,picture_end       ;  7  70
        jp   line_go             ; 10  80
text_same_row:                   ;     42
        add  hl,de               ; 11  53  the next glyph row of the same cells
        ld   a,i                 ;  9  62  (padding)
        ld   a,i                 ;  9  71
        ld   a,i                 ;  9  80
line_go:
        ld   a,R_START           ;  7  87
        ld   r,a                 ;  9  96
        jp   (hl)                ;  4  100, + 39 cells = 256

; After the last picture line: acknowledge the NMI and go back.
picture_end:
        ld   a,(PICON)           ; picture stays on; NMI line and latch cleared
        pop  ix
        pop  hl
        pop  de
        pop  bc
        pop  af
        retn

; ---- the keyboard -------------------------------------------------------------
; keyscan: reads the matrix. Returns carry set and the code in C for a new
; key press (or a repeat of a held key), storing the complement of the code
; at LASTK; carry clear otherwise. The matrix is read twice and counts only
; when both readings agree: keys pressed or released between the reading of
; the Shift keys and of the others (or an NMI in between) give no false key.
REPEAT1 equ 25          ; frames before a held key repeats
REPEAT2 equ 3           ; frames between repeats
keyscan:
        call ks_read
        ld   b,c
        call ks_read
        ld   a,b
        cp   c
        jr   nz,ks_none          ; the keys moved while being read: next time
        jr   ks_have

; ks_read: C = the code of the key held now, NOKEY for none. Row 0 holds the
; two Shift keys (bits 0 and 5); of the other keys the first one found
; counts. Keeps B.
ks_read:
        ld   c,NOKEY
        ld   a,(KBD+01h)         ; rows 1-7 together
        inc  a                   ; 0FFh: none of them pressed
        ret  z
        ld   hl,KBD+0FDh         ; row 1
        ld   e,8                 ; key number of row 1, bit 0
ks_row: ld   a,(hl)
        cpl
        or   a
        jr   nz,ks_bit
        ld   a,e
        add  a,8
        ld   e,a
        rlc  l                   ; the next row; carry clear after row 7
        jr   c,ks_row
        ret                      ; only Shift
ks_bit: rrca
        jr   c,ks_code
        inc  e
        jr   ks_bit
ks_code:
        ld   a,(KBD+0FEh)        ; row 0
        cpl
        and  21h                 ; a Shift key held: the second half of the table
        ld   a,e
        jr   z,ks_plain
        add  a,64
ks_plain:
        ld   hl,keytab
        ld   d,0
        ld   e,a
        add  hl,de
        ld   c,(hl)
        ret

ks_have:                         ; C = the code of the key held now
        ld   a,(LASTK)
        cpl                      ; the code held at the last scan
        cp   c
        jr   nz,ks_changed
        inc  a
        jr   z,ks_none           ; still nothing held
        ld   hl,KREPEAT          ; the same key held: repeat when its time has come
        ld   a,(FRAMES)
        sub  (hl)
        jp   m,ks_none
        ld   a,(FRAMES)
        add  a,REPEAT2
        ld   (hl),a
        scf
        ret
ks_changed:
        ld   a,c
        cpl
        ld   (LASTK),a
        ld   a,c
        inc  a                   ; NOKEY: the key was released
        jr   z,ks_released
        ld   a,(FRAMES)
        add  a,REPEAT1
        ld   (KREPEAT),a
        scf
        ret
ks_released:
ks_none:
        and  a
        ret

; cursor_blink: the cell at CURADR shows CURCH, inverted in every other 16
; frames.
cursor_blink:
        ld   hl,(CURADR)
        ld   a,(FRAMES)
        and  10h
        ld   a,(CURCH)
        jr   z,cb_put
        xor  80h
cb_put: ld   (hl),a
        ret

; getkey: waits for a key, with the cursor blinking at CURADR. Returns its
; code in A (see normalise); keeps BC, DE and HL. Every pass of the wait goes
; through the key poll at 0309h.
getkey:
        push bc
        push de
        push hl
        ld   hl,(CURADR)
        ld   a,(hl)
        ld   (CURCH),a
        jp   getkey_loop

        IF   $ > KEYPOLL-4
        .ERROR The code before the key poll at 0309h is too long
        ENDIF
        ds   KEYPOLL-4-$, 0FFh
getkey_loop:                     ; 0305h
        call cursor_blink
        and  a                   ; carry clear: no key unless the poll gives one
        call keyscan_vector      ; 0309h: the key poll
        jr   nc,getkey_idle      ; 030Ch
        ld   hl,(CURADR)
        ld   a,(CURCH)
        ld   (hl),a              ; the cell without the cursor
        ld   a,c
        call normalise
        pop  hl
        pop  de
        pop  bc
        ret
keyscan_vector equ 0010h

; No key yet: about 1900 T before the next poll, spent in few long
; instructions (the IX exchanges undo each other), so that a waiting
; machine costs the emulator little. About ten polls a frame remain.
getkey_idle:
        ld   b,32
gki_wait:
        ex   (sp),ix             ; 23
        ex   (sp),ix             ; 23
        djnz gki_wait            ; 13
        jp   getkey_loop

; normalise: A = a key code as the poll gives it. Codes that show the same as
; another become that one (60h "^" -> 3Eh, 67h "=" -> 1Dh), and the Hungarian
; letters of code page 1250 (pasted text) become the machine's capitals.
normalise:
        ld   hl,normtab
        jr   map_pair

; map_pair: A looked up in the table of (from, to) byte pairs at HL, ended by
; a 0 byte: A becomes "to" when found and stays as it is otherwise. Keeps BC
; and DE.
map_pair:
        push bc
        ld   c,a
mp_loop:
        ld   a,(hl)
        or   a
        jr   z,mp_none
        inc  hl
        cp   c
        jr   z,mp_found
        inc  hl
        jr   mp_loop
mp_found:
        ld   c,(hl)
mp_none:
        ld   a,c
        pop  bc
        ret

normtab:
        db   60h,3Eh, 67h,1Dh
        db   0C1h,41h, 0E1h,41h  ; Á á
        db   0C9h,42h, 0E9h,42h  ; É é
        db   0CDh,43h, 0EDh,43h  ; Í í
        db   0D3h,44h, 0F3h,44h  ; Ó ó
        db   0D6h,45h, 0F6h,45h  ; Ö ö
        db   0D5h,46h, 0F5h,46h  ; Ő ő
        db   0DAh,47h, 0FAh,47h  ; Ú ú
        db   0DCh,48h, 0FCh,48h  ; Ü ü
        db   0DBh,49h, 0FBh,49h  ; Ű ű
        db   0

; The key codes by key number (row * 8 + bit), without and with Shift. The
; rows as the keys lie on a host keyboard: row 1 Space, Up, -, Right, -,
; Enter, -, End; row 2 the key left of 1, then 1-7; row 3 8, 9, ' ; , - . /;
; row 4 0, A-G; row 5 H-O; row 6 P-W; row 7 X, Y, Z, [ \ ], Delete, =.
; Shift gives: Up -> Down, Right -> Left, the key left of 1 -> Rubout, and
; the punctuation of a common layout.
keytab:
        db   0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh      ; row 0: Shift keys
        db   SPACE,K_UP,0FFh,K_RIGHT,0FFh,K_ENTER,0FFh,K_BREAK
        db   20h,11h,12h,13h,14h,15h,16h,17h              ; @ 1-7
        db   18h,19h,70h,1Bh,69h,62h,68h,64h              ; 8 9 ' ; , - . /
        db   10h,21h,22h,23h,24h,25h,26h,27h              ; 0 A-G
        db   28h,29h,2Ah,2Bh,2Ch,2Dh,2Eh,2Fh              ; H-O
        db   30h,31h,32h,33h,34h,35h,36h,37h              ; P-W
        db   38h,39h,3Ah,3Bh,3Ch,3Dh,K_DEL,1Dh            ; X Y Z [ \ ] Delete =
        ; with Shift
        db   0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh,0FFh
        db   SPACE,K_DOWN,0FFh,K_LEFT,0FFh,K_ENTER,0FFh,K_BREAK
        db   K_RUB,6Ah,20h,6Ch,6Dh,6Eh,3Eh,6Fh            ; Rubout ! @ # $ % ^ &
        db   63h,65h,6Bh,1Ah,1Ch,3Fh,1Eh,1Fh              ; * ( " : < _ > ?
        db   66h,21h,22h,23h,24h,25h,26h,27h              ; ) A-G
        db   28h,29h,2Ah,2Bh,2Ch,2Dh,2Eh,2Fh
        db   30h,31h,32h,33h,34h,35h,36h,37h
        db   38h,39h,3Ah,3Bh,3Ch,3Dh,K_DEL,61h            ; X Y Z [ \ ] Delete +

; ---- cold start -----------------------------------------------------------------
cold_start:
        ld   sp,STACK
        im   1
        ld   a,(PICOFF)          ; no picture (and no NMI) while setting up
        ld   a,(TEXTMD)
        ld   hl,VMODE            ; system variables all 0: text mode, no key held
        ld   de,VMODE+1
        ld   bc,0FFh
        ld   (hl),0
        ldir
        call ram_probe
        call cls
        ld   hl,msg_banner
        call pstr
        ld   a,(RAMKB)
        call pdec8
        ld   hl,msg_ram
        call pstr
        ld   a,(PICON)
        jp   monitor

; ram_probe: RAM is 4000h-5FFFh, plus 6000h-7FFFh and 8000h-9FFFh when
; fitted; sets RAMTOP and RAMKB.
ram_probe:
        ld   hl,5FFFh
        ld   a,8
        ld   de,6000h
        call rp_test
        jr   nz,rp_done
        ld   hl,7FFFh
        ld   a,16
        ld   de,8000h
        call rp_test
        jr   nz,rp_done
        ld   hl,9FFFh
        ld   a,24
rp_done:
        ld   (RAMTOP),hl
        ld   (RAMKB),a
        ret
; Z when the byte at DE keeps what is written there; the byte is restored.
rp_test:
        push af
        ld   a,(de)
        ld   c,a
        ld   a,55h
        ld   (de),a
        ld   a,(de)
        ld   b,a
        ld   a,c
        ld   (de),a
        ld   a,b
        cp   55h
        pop  bc                  ; B = the KB count so far, flags kept
        ld   a,b
        ret

        include "veltra16-screen.inc"
        include "veltra16-monitor.inc"
        include "veltra16-tape.inc"

        IF   $ > 2000h
        .ERROR The firmware is larger than 8 KB
        ENDIF
        ds   2000h-$, 0FFh

; The 8 KB after the image: the memory reset copies 16 KB from the ROM slot.
        ds   2000h, 0
        end
