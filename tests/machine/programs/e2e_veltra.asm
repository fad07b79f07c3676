; End-to-end test program for the Veltra-16, loaded at 4400h (4000h-41FFh
; hold the firmware's system variables and stack): writes a code into the
; text screen, turns the picture on (the ROM's NMI draws it), polls the
; keyboard and starts beeper pulses.
; 4200h: row 1 keys seen held (bit 0 Space)
; 4201h: set to 1 once a key was seen
; 4202h: loop counter (16 bits)
        org 4400h
        ld sp,6000h
        ld a,21h              ; "A"
        ld (0C001h),a         ; text row 0, column 0
        ld (3800h),a          ; character mode
        ld (3F00h),a          ; picture on
loop:   ld a,(3AFDh)          ; row 1, selected by the 0 in bit 1
        cpl
        ld (4200h),a
        or a
        jr z,nokey
        ld a,1
        ld (4201h),a
nokey:  ld (3C00h),a          ; a 77 us beeper pulse
        ld b,100
wait:   djnz wait
        ld hl,(4202h)
        inc hl
        ld (4202h),hl
        jr loop
