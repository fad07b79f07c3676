; Placeholder boot program for the ROM slots of the Tarvik 3.1 (MODEL 0),
; the Tarvik 4.1 (MODEL 1) and the Dorvane (MODEL 2). It is not the
; machines' firmware and does not pretend to be: it clears the screen, says
; in one line that this is a temporary ROM, names the model, and echoes the
; keys typed. It keeps the fixed places the emulator relies on: cold start
; at 0000h, the Reset key's NMI at 0066h, and the key-input instruction at
; 0566h (paste replaces it with a trap).

VIDEO    equ 0F800h          ; 32 rows of 64 screen codes
COLUMNS  equ 64
ROWS     equ 32
KEYBOARD equ 0E000h          ; 16 columns of 4 keys, pressed = 0
STACK    equ 5000h           ; top of the smallest RAM (4 KB from 4000h)
cursor   equ 4100h           ; where the next typed key is shown
lastkey  equ 4102h           ; the key code seen at the previous poll
FIRSTROW equ VIDEO + 3 * COLUMNS

        org 0
cold:   di
        jp start

        org 66h               ; Reset key: start again, RAM kept
        jp start

        org 100h
start:  ld sp,STACK
        out (0FFh),a          ; ROM, keyboard and video RAM paged in
        ld hl,VIDEO
        ld de,VIDEO + 1
        ld bc,COLUMNS * ROWS - 1
        ld (hl),' '
        ldir
        ld hl,notice
        ld de,VIDEO
        call print
        ld hl,banner
        ld de,VIDEO + COLUMNS
        call print
        ld hl,FIRSTROW
        ld (cursor),hl
        xor a
        ld (lastkey),a
        jp poll

; Copies the zero-terminated screen codes at HL to DE.
print:  ld a,(hl)
        or a
        ret z
        ld (de),a
        inc hl
        inc de
        jr print

; "Temporary ROM: the final firmware is not ready yet." (5Bh is É)
notice: db "IDEIGLENES ROM: A V", 5Bh, "GLEGES FIRMWARE M", 5Bh, "G NEM K", 5Bh, "SZ.", 0

banner:
 IF MODEL = 0
        db "TARVIK 3.1", 0
 ENDIF
 IF MODEL = 1
        db "TARVIK 4.1", 0
 ENDIF
 IF MODEL = 2
        db "DORVANE", 0
 ENDIF

 IF $ > 566h
        .ERROR start-up code runs into the key-input routine
 ENDIF

        org 566h
poll:   call keyscan          ; A = code of the key held now, 0 = none
        ld hl,lastkey
        cp (hl)
        jr z,poll             ; still the same key (or still none)
        ld (hl),a
        or a
        jr z,poll             ; released
        call echo
        jr poll

        org 700h              ; after the cassette routines' places
; A = screen code of the first key held, 0 when none.
keyscan:
        ld hl,KEYBOARD
        ld c,0                ; key index of bit 0 of the column
ks_col: ld a,(hl)
        cpl
        and 0Fh
        jr nz,ks_found
        inc hl
        ld a,c
        add a,4
        ld c,a
        cp 64
        jr c,ks_col
        xor a
        ret
ks_found:
        rrca
        jr c,ks_code
        inc c
        jr ks_found
ks_code:
        ld b,0
        ld hl,keycodes
        add hl,bc
        ld a,(hl)
        ret

; Shows the screen code in A at the cursor; 13 starts a new row.
echo:   ld hl,(cursor)
        cp 13
        jr z,newline
        ld (hl),a
        inc hl
        jr echo_end
newline:
        ld a,l
        and 0C0h
        ld l,a
        ld de,COLUMNS
        add hl,de
echo_end:
        ld a,h
        cp high VIDEO
        jr nc,echo_keep
        ld hl,FIRSTROW        ; past the last row: back to the first
echo_keep:
        ld (cursor),hl
        ret

; Screen code of each key, index 4 * column + bit (0 = nothing to show).
keycodes:
        db 0, 0, 0, 0                 ; cursor keys
        db ' ', 13, 0, 0              ; space, enter
        db 0, 0, 0, 0                 ; shift keys, ctrl
        db 0, 0, 0, 0                 ; tab, caps lock
        db '0', '1', '2', '3'
        db '4', '5', '6', '7'
        db '8', '9', ':', ';'
        db ',', '=', '.', '?'
        db '^', 'A', 40h, 'B'         ; 40h is Á
        db 'C', 'D', 'E', 5Bh         ; 5Bh is É
        db 'F', 'G', 'H', 'I'
        db 'J', 'K', 'L', 'M'
        db 'N', 'O', 5Fh, 5Ch         ; Ó, Ö
        db 'P', 'Q', 'R', 'S'
        db 'T', 'U', 5Dh, 'V'         ; Ü
        db 'W', 'X', 'Y', 'Z'

        ds 4000h - $, 0FFh
