; Placeholder boot program for the Veltra-16 ROM slot. It is not the
; machine's firmware and does not pretend to be: it clears the text screen,
; says in one line that this is a temporary ROM, turns the picture on and
; echoes the keys typed. It keeps the fixed places the emulator relies on:
; cold start at 0000h, the picture NMI at 0066h, the line ends at 0030h and
; 0038h, and the key-input instruction at 0309h (paste replaces it).
;
; The picture: the NMI runs the CPU through the picture area once per
; scan line. Each opcode fetch there shows one character cell and executes
; as CCF; the fetch made with R = 2 ends the line with RST 38h. So R is set
; before each line to make the 40th fetch the one with R = 2.

TEXT     equ 0C000h           ; screen codes; row t, column c at 1 + 40t + c
PICTURE  equ 0E000h
STACK    equ 6000h
KEYCOMP  equ 404Bh            ; complement of the last key code
cursor   equ 4100h
lastkey  equ 4102h
LINES    equ 200              ; 25 text rows of 8 scan lines
LINE_R   equ 90               ; R before JP (HL): the fetches see 91..127, 0, 1, 2
FIRSTROW equ TEXT + 1 + 3 * 40
SPACE    equ 40h

        org 0
cold:   di
        jp start

        org 30h               ; end of a bitmap line
        jp lineend

        org 38h               ; end of a character line
        jp lineend

        org 66h               ; once per frame while the picture is on
        ex af,af'
        exx
        ld hl,PICTURE + 1     ; line 0: glyph row 0, text row 0
        ld b,8                ; glyph rows left in the text row
        ld c,LINES
        ld a,LINE_R
        ld r,a
        jp (hl)

lineend:
        inc sp                ; the RST's return address is not needed
        inc sp
        dec c
        jr z,picdone
        ld de,400h            ; next glyph row
        add hl,de
        djnz nextline
        ld b,8
        ld de,0E028h          ; back to glyph row 0, next text row (+40)
        add hl,de
nextline:
        ld a,LINE_R
        ld r,a
        jp (hl)
picdone:
        ld (3F00h),a          ; picture stays on; the next frame's NMI is armed
        exx
        ex af,af'
        retn

        org 100h
start:  ld sp,STACK
        ld (3800h),a          ; character mode
        ld hl,TEXT
        ld de,TEXT + 1
        ld bc,3FFh
        ld (hl),SPACE
        ldir
        ld hl,notice
        ld de,TEXT + 1
        call print
        ld hl,FIRSTROW
        ld (cursor),hl
        xor a
        ld (lastkey),a
        ld (3F00h),a          ; picture on
        jp vpoll

; Copies the zero-terminated text at HL to DE as screen codes.
print:  ld a,(hl)
        or a
        ret z
        sub 20h
        cp 0
        jr nz,print_put
        ld a,SPACE
print_put:
        ld (de),a
        inc hl
        inc de
        jr print

; "Temporary ROM: the firmware is not ready yet."
notice: db "IDEIGLENES ROM: A FIRMWARE MEG NEM KESZ", 0

 IF $ > 309h
        .ERROR start-up code runs into the key-input routine
 ENDIF

        org 309h
vpoll:  call vkeyscan         ; carry: a new key press, its code in C
        jr nc,vpoll
        call vecho
        jr vpoll

        org 400h
; Carry set and C = code when a key that was not held at the last poll is
; held now; its complement goes to KEYCOMP.
vkeyscan:
        ld b,1                ; row 0 holds only the Shift keys
        ld e,0FDh             ; a 0 bit selects the row
vk_row: ld h,3Ah
        ld l,e
        ld a,(hl)
        cpl
        or a
        jr nz,vk_found
        rlc e
        inc b
        ld a,b
        cp 8
        jr c,vk_row
        xor a
        ld (lastkey),a
        ret                   ; carry clear
vk_found:
        ld c,b
        sla c
        sla c
        sla c
vk_bit: rrca
        jr c,vk_code
        inc c
        jr vk_bit
vk_code:
        ld d,0
        ld e,c
        ld hl,vkeycodes
        add hl,de
        ld a,(hl)
        ld hl,lastkey
        cp (hl)
        jr z,vk_none
        ld (hl),a
        or a
        jr z,vk_none
        ld c,a
        cpl
        ld (KEYCOMP),a
        scf
        ret
vk_none:
        or a
        ret

; Shows the code in C at the cursor; 13 starts a new row.
vecho:  ld hl,(cursor)
        ld a,c
        cp 13
        jr z,vnewline
        ld (hl),a
        inc hl
        jr vecho_end
vnewline:
        ld de,-(TEXT + 1)
        add hl,de             ; offset in the screen
        ld a,l                ; the offset's row start: subtract 40 while possible
        ld b,h
        ld de,40
vrow:   or a
        sbc hl,de
        jr nc,vrow
        add hl,de             ; HL = column
        ex de,hl
        ld h,b
        ld l,a
        or a
        sbc hl,de             ; row start offset
        ld de,TEXT + 1 + 40
        add hl,de
vecho_end:
        ld de,TEXT + 1 + 25 * 40
        ld a,l
        sub e
        ld a,h
        sbc a,d
        jr c,vecho_keep
        ld hl,FIRSTROW
vecho_keep:
        ld (cursor),hl
        ret

; Code of each key, index 8 * row + bit (0 = nothing to show).
vkeycodes:
        db 0, 0, 0, 0, 0, 0, 0, 0                       ; Shift keys
        db SPACE, 0, 0, 0, 0, 13, 0, 0                  ; space, enter
        db 0, 11h, 12h, 13h, 14h, 15h, 16h, 17h         ; 1-7
        db 18h, 19h, 0, 0, 0, 62h, 0, 64h               ; 8 9 - /
        db 10h, 21h, 22h, 23h, 24h, 25h, 26h, 27h       ; 0 A-G
        db 28h, 29h, 2Ah, 2Bh, 2Ch, 2Dh, 2Eh, 2Fh       ; H-O
        db 30h, 31h, 32h, 33h, 34h, 35h, 36h, 37h       ; P-W
        db 38h, 39h, 3Ah, 0, 0, 0, 0, 61h               ; X Y Z +

        ds 2000h - $, 0FFh
        ds 2000h, 0           ; the 8 KB that follow the image
