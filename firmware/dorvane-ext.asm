; Dorvane extension image (4 KB, shown at D000h in the 64 KB configuration
; while the I/O state is selected): the speech command's phrase for the
; MEA8000 speech chip on ports F8h (data) and F9h (control).
;     pasmo --bin dorvane-ext.asm dorvane-ext.bin
;
; D000h  "DV", version        the ROM looks for the signature
; D003h  JP speak             says the phrase; carry set when the chip does
;                             not answer

P_DATA          EQU 0F8h
P_CTRL          EQU 0F9h
STOP            EQU 10h         ; control: stop and forget the frame
PITCH           EQU 55          ; start pitch: 2 x 55 = 110 Hz

; One frame of the chip: bandwidth codes of the four formants (0 wide .. 3
; narrow), F3/F2/F1 table codes, amplitude code (0-15), duration code FD
; (8, 16, 32 or 64 ms) and pitch-increment code (16 = noise).
FRAME   MACRO bw, f3, f2, f1, amp, fd, pinc
        DEFB bw
        DEFB (f3 SHL 5) OR f2
        DEFB (f1 SHL 3) OR (amp SHR 1)
        DEFB ((amp AND 1) SHL 7) OR (fd SHL 5) OR pinc
        ENDM

VOWEL           EQU 065h        ; bandwidths 309, 125, 309, 309 Hz
NASAL           EQU 065h        ; 309, 125, 309, 309 Hz
NOISE           EQU 015h        ; 726, 309, 309, 309 Hz

        ORG 0D000h
        DEFM "DV"
        DEFB 1
        jp speak

; Says the phrase. Carry set when the chip did not become ready in time.
speak:  ld a,STOP
        out (P_CTRL),a
        ld a,PITCH              ; a stopped chip takes the first byte as pitch
        out (P_DATA),a
        ld hl,phrase
        ld b,(phrase_end - phrase) / 4
sp_frame:
        call wait_ready
        jr c,sp_stop
        ld c,4
sp_byte:
        ld a,(hl)
        out (P_DATA),a
        inc hl
        dec c
        jr nz,sp_byte
        djnz sp_frame
        ld b,3                  ; let the last frames sound
sp_tail:
        call wait_ready
        jr c,sp_stop
        djnz sp_tail
sp_stop:
        ld a,STOP               ; flags kept
        out (P_CTRL),a
        ret

; Waits until the chip asks for the next frame (status bit 7); carry set
; after about a second without it.
wait_ready:
        push de
        ld de,0
wt_loop:
        in a,(P_DATA)
        rla
        jr c,wt_ok
        dec de
        ld a,d
        or e
        jr nz,wt_loop
        pop de
        scf
        ret
wt_ok:  pop de
        or a
        ret

; "Jó napot!" (good day)
phrase:                                 ; two silent frames first: the chip
        FRAME VOWEL, 6, 26, 7, 0, 0, 0          ; glides from the frames it holds,
        FRAME VOWEL, 6, 26, 7, 0, 0, 0          ; so they set real formants
        FRAME VOWEL, 6, 26, 7, 6, 1, 0          ; j
        FRAME VOWEL, 5, 18, 12, 9, 1, 0
        FRAME VOWEL, 5, 10, 16, 10, 2, 0        ; ó
        FRAME VOWEL, 5, 10, 16, 10, 2, 31
        FRAME VOWEL, 5, 12, 10, 7, 1, 0
        FRAME NASAL, 5, 16, 7, 5, 1, 0          ; n
        FRAME VOWEL, 5, 14, 21, 10, 2, 1        ; a
        FRAME VOWEL, 5, 14, 21, 10, 2, 0
        FRAME VOWEL, 5, 14, 18, 2, 0, 0
        FRAME VOWEL, 5, 14, 18, 0, 1, 0         ; p
        FRAME NOISE, 3, 10, 7, 6, 0, 16
        FRAME VOWEL, 5, 11, 16, 10, 2, 31       ; o
        FRAME VOWEL, 5, 11, 16, 9, 2, 30
        FRAME VOWEL, 5, 11, 16, 0, 1, 0         ; t
        FRAME NOISE, 7, 25, 15, 6, 0, 16
        FRAME VOWEL, 5, 11, 16, 0, 2, 0
        FRAME VOWEL, 5, 11, 16, 0, 2, 0
phrase_end:

        IF $ > 0E000h
        .ERROR the extension does not fit in 4 KB
        ENDIF
        DS 0E000h - $, 0FFh
