; Veltra-16 firmware: the machine-code monitor.
;
; A command is a letter and its arguments, numbers in hexadecimal:
;   L [ADDR]              list 16 rows of 8 bytes (on from the last one)
;   M ADDR BYTE...        write bytes from ADDR on
;   F ADDR                run the program at ADDR (a RET comes back)
;   T [FROM TO [BYTE]]    clear the screen; or fill FROM-TO with BYTE (0)
;   K FROM TO [NAME]      save FROM-TO to tape under NAME
;   B [NAME]              load from tape (the first file, or the one named)
;   G                     bitmap test pattern until a key is pressed
;   S                     help

monitor:
        ld   sp,STACK
        call newline_if
        ld   a,C_GT
        call putc
        call edit_line
        jr   c,monitor
        ld   hl,LBUF
        call skip_spaces
        ld   a,(hl)
        cp   ENDL
        jr   z,monitor
        inc  hl
        ld   (LBPTR),hl
        ld   hl,commands
mn_find:
        ld   c,(hl)
        inc  c
        dec  c
        jp   z,err_command
        inc  hl
        ld   e,(hl)
        inc  hl
        ld   d,(hl)
        inc  hl
        cp   c
        jr   nz,mn_find
        ex   de,hl
        jp   (hl)

commands:
        db   2Ch                 ; L
        dw   cmd_list
        db   2Dh                 ; M
        dw   cmd_modify
        db   26h                 ; F
        dw   cmd_run
        db   34h                 ; T
        dw   cmd_clear
        db   2Bh                 ; K
        dw   cmd_save
        db   22h                 ; B
        dw   cmd_load
        db   27h                 ; G
        dw   cmd_graphic
        db   33h                 ; S
        dw   cmd_help
        db   1Fh                 ; ?
        dw   cmd_help
        db   0

; ---- errors --------------------------------------------------------------------
err_command:
        ld   hl,msg_command
        jr   error
err_param:
        ld   hl,msg_param
error:  ld   sp,STACK
        push hl
        call newline_if
        pop  hl
        call pstr
        call beep
        jp   monitor

; ---- the arguments ---------------------------------------------------------------
; skip_spaces: HL moves past spaces.
skip_spaces:
        ld   a,(hl)
        cp   SPACE
        ret  nz
        inc  hl
        jr   skip_spaces

; arg_hex: the next number of the line into DE (carry clear), or carry set
; when the line has ended. A malformed number is an error.
arg_hex:
        ld   hl,(LBPTR)
        call skip_spaces
        ld   a,(hl)
        cp   ENDL
        scf
        ret  z
        ld   de,0
        ld   b,0                 ; digits
ah_digit:
        ld   a,(hl)
        cp   ENDL
        jr   z,ah_end
        cp   SPACE
        jr   z,ah_end
        call hex_value
        jp   c,err_param
        ld   c,a
        inc  b
        ld   a,b
        cp   5                   ; a fifth digit
        jp   nc,err_param
        ex   de,hl
        add  hl,hl
        add  hl,hl
        add  hl,hl
        add  hl,hl
        ld   a,l
        or   c
        ld   l,a
        ex   de,hl
        inc  hl
        jr   ah_digit
ah_end: ld   (LBPTR),hl
        and  a
        ret
; hex_value: A = a digit code; returns its value, or carry set if A is none.
hex_value:
        sub  C_0
        ret  c
        cp   10
        ccf
        ret  nc
        sub  C_A-C_0
        ret  c
        cp   6
        ccf
        ret  c
        add  a,10
        ret

; arg_need: like arg_hex, but the number must be there.
arg_need:
        call arg_hex
        ret  nc
        jp   err_param

; arg_range: two numbers, FROM into HL and TO into DE, FROM <= TO.
arg_range:
        call arg_need
        push de
        call arg_need
        pop  hl
        ex   de,hl               ; is TO (now HL) >= FROM (DE)?
        and  a
        sbc  hl,de
        jp   c,err_param
        add  hl,de
        ex   de,hl
        ret

; arg_name: the rest of the line, at most 10 codes, as a name into the 10
; bytes at DE, filled up with spaces.
arg_name:
        ld   hl,(LBPTR)
        call skip_spaces
        ld   b,10
an_copy:
        ld   a,(hl)
        cp   ENDL
        jr   z,an_fill
        ld   (de),a
        inc  hl
        inc  de
        djnz an_copy
        ret
an_fill:
        ld   a,SPACE
an_fill_loop:
        ld   (de),a
        inc  de
        djnz an_fill_loop
        ret

; ---- L: list ------------------------------------------------------------------
cmd_list:
        call arg_hex
        jr   c,cl_start
        ld   (DUMPADR),de
cl_start:
        ld   hl,(DUMPADR)
        ld   c,16
cl_row: call phex16
        ld   b,8
        push hl
cl_byte:
        ld   a,SPACE
        call putc
        ld   a,(hl)
        call phex8
        inc  hl
        djnz cl_byte
        ld   a,SPACE
        call putc
        pop  hl
        ld   b,8
cl_cell:
        ld   a,(hl)              ; the bytes as the screen shows them
        call putraw
        inc  hl
        djnz cl_cell
        call newline
        dec  c
        jr   nz,cl_row
        ld   (DUMPADR),hl
        jp   monitor

; ---- M: modify ----------------------------------------------------------------------
cmd_modify:
        call arg_need
        push de
        call arg_need            ; at least one byte
        pop  hl
cm_byte:
        ld   a,d
        or   a
        jp   nz,err_param
        ld   (hl),e
        inc  hl
        push hl
        call arg_hex
        pop  hl
        jr   nc,cm_byte
        jp   monitor

; ---- F: run ---------------------------------------------------------------------------
cmd_run:
        call arg_need
        ld   hl,monitor
        push hl
        ex   de,hl
        jp   (hl)

; ---- T: clear -------------------------------------------------------------------------
cmd_clear:
        ld   hl,(LBPTR)
        call skip_spaces
        ld   a,(hl)
        cp   ENDL
        jr   z,ct_screen
        call arg_range
        push hl
        push de
        call arg_hex
        ld   a,e
        jr   nc,ct_value
        xor  a
ct_value:
        pop  de
        pop  hl
ct_fill:
        ld   (hl),a
        and  a
        sbc  hl,de
        jr   z,ct_done
        add  hl,de
        inc  hl
        jr   ct_fill
ct_done:
        jp   monitor
ct_screen:
        call cls
        jp   monitor

; ---- K: save ------------------------------------------------------------------------
cmd_save:
        call arg_range
        ld   (HDRSTART),hl
        ex   de,hl               ; length = TO - FROM + 1
        and  a
        sbc  hl,de
        inc  hl
        ld   a,h
        or   l
        jp   z,err_param         ; all 64 KB: not a length that fits
        ld   (HDRLEN),hl
        ld   de,HDR
        call arg_name
        call tape_save
        ld   hl,msg_saved
        call report_file
        jp   monitor

; ---- B: load ----------------------------------------------------------------------
cmd_load:
        ld   de,NAMEB
        call arg_name
        call tape_load
        jp   monitor

; report_file: prints the message at HL, then the name, start and end of the
; file in HDR, then a new line.
report_file:
        call newline_if
        call pstr
        ld   hl,HDR
        ld   b,10
rf_name:
        ld   a,(hl)
        call putraw
        inc  hl
        djnz rf_name
        ld   a,SPACE
        call putc
        ld   hl,(HDRSTART)
        call phex16
        ld   a,C_MINUS
        call putc
        ld   de,(HDRLEN)
        add  hl,de
        dec  hl
        call phex16
        jp   newline

; ---- G: the bitmap test pattern ------------------------------------------------------
; A checkerboard of 8 x 8 pixel squares in a frame: lines 0 and 199 white,
; the leftmost and the rightmost pixel column white.
cmd_graphic:
        ld   hl,BITMAP
        ld   c,0                 ; line
cg_line:
        ld   b,0                 ; byte in the line
cg_byte:
        ld   a,c
        rrca                     ; bit 3 of the line to bit 0
        rrca
        rrca
        xor  b
        and  1
        jr   z,cg_black
        ld   a,0FFh
cg_black:
        inc  b
        dec  b
        jr   nz,cg_not_left
        or   80h
cg_not_left:
        ld   e,a
        ld   a,b
        cp   COLS-1
        ld   a,e
        jr   nz,cg_not_right
        or   01h
cg_not_right:
        inc  c
        dec  c
        jr   z,cg_white
        ld   e,a
        ld   a,c
        cp   199
        ld   a,e
        jr   nz,cg_put
cg_white:
        ld   a,0FFh
cg_put: ld   (hl),a
        inc  hl
        inc  b
        ld   a,b
        cp   COLS
        jr   nz,cg_byte
        inc  c
        ld   a,c
        cp   200
        jr   nz,cg_line
        ld   a,1
        ld   (VMODE),a           ; the picture generator shows the bitmap from the next frame
        ld   hl,HIDDEN
        ld   (CURADR),hl
        call getkey
        xor  a
        ld   (VMODE),a
        jp   monitor

; ---- S: help --------------------------------------------------------------------------
cmd_help:
        ld   hl,msg_help
        call pstr
        jp   monitor

; ---- texts --------------------------------------------------------------------------
msg_banner:
        db   "VELTRA-16  SZABAD ROM  1.0\r", 0
msg_ram:
        db   " KB RAM      SÚGÓ: S\r", 0
msg_command:
        db   "HIBÁS PARANCS\r", 0
msg_param:
        db   "HIBÁS PARAMÉTER\r", 0
msg_saved:
        db   "KIMENTVE: ", 0
msg_loaded:
        db   "BETÖLTVE: ", 0
msg_skipped:
        db   "KIHAGYVA: ", 0
msg_tape_error:
        db   "OLVASÁSI HIBA\r", 0
msg_break:
        db   "MEGSZAKÍTVA\r", 0
msg_help:
        db   "PARANCSOK, A SZÁMOK HEXÁBAN:\r"
        db   "L [CÍM]           LISTÁZÁS\r"
        db   "M CÍM BÁJT ...    MÓDOSÍTÁS\r"
        db   "F CÍM             FUTTATÁS\r"
        db   "T [TÓL IG [BÁJT]] TÖRLÉS\r"
        db   "K TÓL IG [NÉV]    KIMENTÉS MAGNÓRA\r"
        db   "B [NÉV]           BETÖLTÉS MAGNÓRÓL\r"
        db   "G                 GRAFIKUS TESZTKÉP\r"
        db   "S                 SÚGÓ\r", 0
