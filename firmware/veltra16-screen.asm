; Veltra-16 firmware: the text screen, printing and the line editor.
;
; The screen is 25 rows of 40 cells; row y, column x is at SCRTOP + 40y + x
; (see veltra16-defs.asm). The cursor is CURROW, CURCOL. Output at the end
; of a row goes on at the start of the next; below the last row the screen
; scrolls up.

; cls: blank screen (all of the character RAM), cursor home.
cls:    ld   hl,SCREEN
        ld   de,SCREEN+1
        ld   bc,3FFh
        ld   (hl),SPACE
        ldir
        xor  a
        ld   (CURROW),a
        ld   (CURCOL),a
        ret

; rowaddr: HL = address of column 0 of row A. Keeps BC.
rowaddr:
        push de
        ld   l,a
        ld   h,0
        add  hl,hl               ; 40 = 8 * 5
        add  hl,hl
        add  hl,hl
        ld   d,h
        ld   e,l
        add  hl,hl
        add  hl,hl
        add  hl,de
        ld   de,SCRTOP
        add  hl,de
        pop  de
        ret

; curaddr: HL = address of the cursor cell. Keeps BC and DE.
curaddr:
        ld   a,(CURROW)
        call rowaddr
        ld   a,(CURCOL)
        add  a,l
        ld   l,a
        ret  nc
        inc  h
        ret

; putc: prints the code in A; K_ENTER (0Dh) starts a new line.
; putraw: prints the code in A as a cell, whatever it is.
; Both keep BC, DE and HL.
putc:   cp   K_ENTER
        jr   z,newline
putraw: push hl
        push af
        call curaddr
        pop  af
        ld   (hl),a
        pop  hl
        ld   a,(CURCOL)
        inc  a
        ld   (CURCOL),a
        cp   COLS
        ret  c
; newline: cursor to the start of the next row, scrolling below the last.
newline:
        xor  a
        ld   (CURCOL),a
        ld   a,(CURROW)
        inc  a
        cp   ROWS
        jr   c,nl_row
        call scroll
        ld   a,ROWS-1
nl_row: ld   (CURROW),a
        ret

; newline_if: a new line unless the cursor is at the start of one.
newline_if:
        ld   a,(CURCOL)
        or   a
        ret  z
        jr   newline

; scroll: rows 1-24 move up, the last row is blanked. Keeps all but AF.
scroll: push bc
        push de
        push hl
        ld   hl,SCRTOP+COLS
        ld   de,SCRTOP
        ld   bc,COLS*(ROWS-1)
        ldir
        ld   h,d                 ; DE is the last row now
        ld   l,e
        ld   b,COLS
sc_blank:
        ld   (hl),SPACE
        inc  hl
        djnz sc_blank
        pop  hl
        pop  de
        pop  bc
        ret

; pstr: prints the text at HL up to a 0 byte. The text is ASCII, with
; Hungarian capitals as UTF-8 and 0Dh for a new line. HL ends past the 0.
pstr:   ld   a,(hl)
        inc  hl
        or   a
        ret  z
        cp   80h
        jr   c,ps_ascii
        ld   a,(hl)              ; a UTF-8 lead byte: the next one tells the letter
        inc  hl
        push hl
        ld   hl,utf8tab
        call map_pair
        pop  hl
        cp   80h
        jr   c,ps_put
        ld   a,C_QUEST           ; a letter the machine does not have
        jr   ps_put
ps_ascii:
        call ascii_code
ps_put: call putc
        jr   pstr

; ascii_code: A = an ASCII character; returns its screen code. Control
; characters stay as they are (0Dh: new line); lower case becomes capitals.
ascii_code:
        cp   20h
        ret  c
        jr   nz,ac_punct
        ld   a,SPACE
        ret
ac_punct:
        cp   30h
        jr   nc,ac_upper
        push hl
        ld   hl,punct_codes-21h
        add  a,l
        ld   l,a
        jr   nc,ac_table
        inc  h
ac_table:
        ld   a,(hl)
        pop  hl
        ret
ac_upper:
        cp   60h
        jr   nc,ac_lower
        sub  20h                 ; "0" to "_"
        ret
ac_lower:
        cp   61h
        jr   c,ac_unknown
        cp   7Bh
        jr   nc,ac_unknown
        sub  40h                 ; "a" to "z" as the capitals
        ret
ac_unknown:
        ld   a,C_QUEST
        ret

; The codes of ! " # $ % & ' ( ) * + , - . /
punct_codes:
        db   6Ah,6Bh,6Ch,6Dh,6Eh,6Fh,70h,65h,66h,63h,61h,69h,62h,68h,64h

; The second bytes of the UTF-8 Hungarian letters, capital and small.
utf8tab:
        db   81h,41h, 0A1h,41h   ; Á á
        db   89h,42h, 0A9h,42h   ; É é
        db   8Dh,43h, 0ADh,43h   ; Í í
        db   93h,44h, 0B3h,44h   ; Ó ó
        db   96h,45h, 0B6h,45h   ; Ö ö
        db   90h,46h, 91h,46h    ; Ő ő
        db   9Ah,47h, 0BAh,47h   ; Ú ú
        db   9Ch,48h, 0BCh,48h   ; Ü ü
        db   0B0h,49h, 0B1h,49h  ; Ű ű
        db   0

; phex16: prints HL as four hexadecimal digits; phex8: A as two. Keep BC,
; DE and HL.
phex16: ld   a,h
        call phex8
        ld   a,l
phex8:  push af
        rrca
        rrca
        rrca
        rrca
        call phex4
        pop  af
phex4:  and  0Fh
        cp   10
        jr   c,ph_digit
        add  a,C_A-10-C_0
ph_digit:
        add  a,C_0
        jp   putc

; pdec8: prints A (0-99) in decimal, without a leading zero.
pdec8:  ld   c,C_0-1
pd_tens:
        inc  c
        sub  10
        jr   nc,pd_tens
        add  a,10+C_0
        ld   b,a
        ld   a,c
        cp   C_0
        call nz,putc
        ld   a,b
        jp   putc

; ---- the line editor -------------------------------------------------------------
; edit_line: edits a line in place, on the cursor row from the cursor column
; to the end of the row. Keys: characters are inserted at the cursor; Left,
; Right; Rubout deletes before the cursor, Delete at it; Up brings back the
; line entered before, Down blanks the line; Enter ends, End (BREAK) gives up.
; Returns carry clear with the line in LBUF (trailing spaces removed, ENDL
; after it), or carry set after BREAK. The cursor ends on the next row.
edit_line:
        ld   a,(CURCOL)
        ld   (EDSTART),a
        call ed_blank
ed_key: call curaddr
        ld   (CURADR),hl
        call getkey
        cp   K_ENTER
        jp   z,ed_enter
        cp   K_BREAK
        jp   z,ed_break
        cp   K_RUB
        jr   z,ed_rubout
        cp   K_DEL
        jr   z,ed_delete
        cp   K_LEFT
        jr   z,ed_left
        cp   K_RIGHT
        jr   z,ed_right
        cp   K_UP
        jr   z,ed_recall
        cp   K_DOWN
        jr   z,ed_down
        call printable
        jr   nc,ed_key
        ; insert: the cells from the cursor on move right (the last one is lost)
        ld   c,a
        call ed_tail             ; B = cells right of the cursor, HL = cursor cell
        ld   a,b
        or   a
        jr   z,ed_store
        push bc
        ld   a,(CURROW)
        call rowaddr
        ld   de,COLS-1
        add  hl,de               ; the last cell of the row
        ld   d,h
        ld   e,l
        dec  hl
        ld   c,b
        ld   b,0
        lddr
        pop  bc
        call curaddr
ed_store:
        ld   (hl),c
        ld   a,b
        or   a
        jr   z,ed_key            ; at the last column the cursor stays
        ld   hl,CURCOL
        inc  (hl)
        jr   ed_key
ed_left:
        ld   a,(EDSTART)
        ld   b,a
        ld   a,(CURCOL)
        cp   b
        jr   z,ed_key
        dec  a
        ld   (CURCOL),a
        jr   ed_key
ed_right:
        ld   a,(CURCOL)
        cp   COLS-1
        jr   z,ed_key
        inc  a
        ld   (CURCOL),a
        jr   ed_key
ed_rubout:
        ld   a,(EDSTART)
        ld   b,a
        ld   a,(CURCOL)
        cp   b
        jp   z,ed_key
        dec  a
        ld   (CURCOL),a
ed_delete:                       ; the cells right of the cursor move left
        call ed_tail
        ld   a,b
        or   a
        jr   z,ed_del_last
        ld   d,h
        ld   e,l
        inc  hl
        ld   c,b
        ld   b,0
        ldir
        ex   de,hl
ed_del_last:
        ld   (hl),SPACE
        jp   ed_key
ed_down:
        call ed_blank
        jp   ed_key
ed_recall:
        call ed_blank
        ld   hl,HIST
ed_rc_loop:
        ld   a,(hl)
        cp   ENDL
        jp   z,ed_key
        push hl
        call curaddr
        ld   (hl),a
        pop  hl
        inc  hl
        ld   a,(CURCOL)
        cp   COLS-1
        jp   z,ed_key
        inc  a
        ld   (CURCOL),a
        jr   ed_rc_loop
ed_break:
        call newline
        scf
        ret
ed_enter:
        ld   a,(EDSTART)
        ld   (CURCOL),a
        call curaddr
        ld   a,(EDSTART)
        ld   b,a
        ld   a,COLS
        sub  b
        ld   c,a
        ld   b,0
        ld   de,LBUF
        ldir
ed_trim:
        ld   a,e                 ; drop the spaces at the end
        cp   LBUF AND 0FFh
        jr   z,ed_end
        dec  de
        ld   a,(de)
        cp   SPACE
        jr   z,ed_trim
        inc  de
ed_end: ld   a,ENDL
        ld   (de),a
        ld   a,(LBUF)
        cp   ENDL
        jr   z,ed_done
        ld   hl,LBUF
        ld   de,HIST
        ld   bc,COLS+1
        ldir
ed_done:
        call newline
        and  a
        ret

; ed_blank: the edited part of the row blank, the cursor at its start.
ed_blank:
        ld   a,(EDSTART)
        ld   (CURCOL),a
        call curaddr
        ld   a,(EDSTART)
        ld   b,a
        ld   a,COLS
        sub  b
        ld   b,a
eb_loop:
        ld   (hl),SPACE
        inc  hl
        djnz eb_loop
        ret

; ed_tail: B = the number of cells right of the cursor, HL = the cursor cell.
ed_tail:
        call curaddr
        ld   a,(CURCOL)
        ld   b,a
        ld   a,COLS-1
        sub  b
        ld   b,a
        ret

; printable: carry set when A is a code the editor takes into a line.
printable:
        cp   10h
        ccf
        ret  nc
        cp   4Ah                 ; 10h-49h: digits, signs, letters, space, accents
        ret  c
        cp   61h
        ccf
        ret  nc
        cp   71h                 ; 61h-70h: + - * / ( ) = . , ! " # $ % & '
        ret
