; End-to-end test program for the Tarvik models, loaded at 4000h: writes to
; the video RAM, polls the keyboard and toggles the sound output.
; 4200h: keys seen held in column 1 (bit 0 Space, bit 1 Enter)
; 4201h: set to 1 once a key was seen
; 4202h: loop counter (16 bits)
        org 4000h
        ld sp,5000h
        out (0FFh),a          ; ROM, keyboard and video RAM paged in
        ld hl,0F800h
        ld (hl),'T'
        inc hl
        ld (hl),'K'
loop:   ld a,(0E001h)         ; keyboard column 1
        cpl
        and 0Fh
        ld (4200h),a
        jr z,nokey
        ld a,1
        ld (4201h),a
        ld a,'*'
        ld (0F802h),a
nokey:  ld a,(0E080h)         ; address bit 7 set: output on
        ld b,20
on:     djnz on
        ld a,(0E000h)         ; bit 7 clear: output off
        ld b,20
off:    djnz off
        ld hl,(4202h)
        inc hl
        ld (4202h),hl
        jr loop
