; "Szabad ROM": our own firmware for the Tarvik 3.1, the Tarvik 4.1 and
; the Dorvane. One source, assembled once per model:
;     pasmo --bin --equ MODEL=0 tarvik.asm tarvik31.bin     (Tarvik 3.1)
;     MODEL=1 Tarvik 4.1, MODEL=2 Dorvane
; The emulator patches and enters this ROM at fixed addresses (key poll
; 0566h, screen output 0616h, tape routines 067Ch-06E7h, program start
; 179Dh); the PLACE macro stops the assembly if code runs past one of them.

        IF MODEL < 0 OR MODEL > 2
        .ERROR MODEL must be 0 (Tarvik 3.1), 1 (Tarvik 4.1) or 2 (Dorvane)
        ENDIF

        INCLUDE "tarvik-sysvars.inc"

; Pads up to a fixed address; an error when the code already passed it.
PLACE   MACRO target
        IF $ > target
        .ERROR code runs past a fixed address
        ENDIF
        DS target - $
        ENDM

        ORG 0000h
; A printer byte is also stored into 0000h-0003h (the parallel interface
; latches every byte it gets), so these four bytes only hold one-byte
; instructions that any latched byte may replace; the print command ends
; every job with a carriage return (DEC C) for that reason.
        di                      ; 0000
        nop
        nop
        nop
        jp cold                 ; 0004

        PLACE 0008h
; RST 08h: wait for a key press; A = its code.
        jp getkey

        PLACE 0010h
; RST 10h: send A through the byte-output vector (registers kept).
outvec: push hl
        ld hl,(OUTVEC)
        ex (sp),hl
        ret

        PLACE 0018h
; RST 18h: print the zero-terminated text at HL through the vector.
        jp puts

        PLACE 0020h
; RST 20h: print A as two hexadecimal digits.
        jp print_hex8

        PLACE 0028h
; RST 28h: short beep.
        jp beep

        PLACE 0038h
        ret                     ; the hardware raises no maskable interrupt

        PLACE 0066h
; NMI: the Reset key. RAM is kept; back to the prompt.
        jp warm

        INCLUDE "tarvik-start.inc"

; --- Key wait. The instruction at 0566h leaves the code of the key held
; now in A (the emulator's paste feeds keys by patching it); a press is a
; code that is not zero and differs from the one seen at the poll before.
        PLACE KEYPOLL - 11
getkey: push hl                 ; wait for a key press; A = its code
        call cursor_on
gk_poll:
        call blink
        ld hl,SEED
        inc (hl)
        IF $ != KEYPOLL
        .ERROR the key poll must be at 0566h
        ENDIF
        call scankey            ; 0566
        ld hl,LASTKEY
        cp (hl)
        jr z,gk_poll
        ld (hl),a
        or a
        jr z,gk_poll
        push af
        call cursor_off
        pop af
        pop hl
        ret

        INCLUDE "tarvik-keys.inc"

; --- Screen output: the default target of the byte-output vector.
        PLACE PUTC
putc:   push af
        push bc
        push de
        push hl
        out (P_IOSTATE),a       ; video visible
        call putc_raw
        pop hl
        pop de
        pop bc
        pop af
        ret

        INCLUDE "tarvik-screen.inc"

; --- Tape byte input. Enter with carry clear; returns the byte in A with
; carry set and Z from the byte, or carry clear when no byte came.
        PLACE TAPEIN
        nop                     ; 067C
        out (P_IOSTATE),a       ; 067D: tape input visible
        call tape_in_bits       ; 067F
        jr tape_in_end
        PLACE 069Bh
tape_in_end:
        out (P_ALLRAM),a        ; 069B
        ret                     ; 069D

; --- Save start: the block of SAVESTART/SAVELEN named by SAVENAME is sent
; through the vector, which points at the tape byte output meanwhile.
        PLACE SAVEGO
        ld hl,TAPEOUT           ; 06AD
        ld (OUTVEC),hl          ; 06B0
        jp save_body            ; 06B3

; --- Tape byte output of A; every register is kept.
        PLACE TAPEOUT
        push hl                 ; 06C9
        push bc
        push af
        nop                     ; 06CC
        out (P_IOSTATE),a       ; 06CD
        call tape_out_bits      ; 06CF
        jr tape_out_end
        PLACE 06E2h
tape_out_end:
        out (P_ALLRAM),a        ; 06E2
        pop af
        pop bc
        pop hl
        ret                     ; 06E7

        INCLUDE "tarvik-tape.inc"
        INCLUDE "tarvik-editor.inc"

; --- Program start: runs the program whose start address is in 4030h; its
; RET comes back to the prompt.
        PLACE PROGRUN
        ld sp,STACKTOP          ; 179D
        out (P_IOSTATE),a
        call cursor_off
        ld hl,prompt
        push hl
        ld hl,(PROGSTART)
        jp (hl)

        INCLUDE "tarvik-monitor.inc"
        INCLUDE "tarvik-text.inc"

rom_end:
        IF $ > 4000h
        .ERROR the firmware does not fit in 16 KB
        ENDIF
        DS 4000h - $, 0FFh
