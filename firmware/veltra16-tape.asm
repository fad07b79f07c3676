; Veltra-16 firmware: the pulse tape and the beep.
;
; ---- The tape format ---------------------------------------------------------------
; The output is the beeper: every write to 3C00h gives a 77 us pulse, which
; the tape recorder hears. The information lies in the distance from the
; start of one pulse to the start of the next:
;   bit 0    1000 T (250 us, 11 samples at 44.1 kHz)
;   bit 1    2000 T (500 us, 22 samples)
;   sync     3000 T (750 us, 33 samples)
; A pulse comes back from a 44.1 kHz recording as 4 to 6 samples of high
; input; the reader takes everything under 1500 T as a 0, 1500-2500 T as a
; 1, and a distance of 2500 T or more after at least 64 leader pulses as
; the sync. Sample steps (23 us) and the few T-states by which the writer's
; distances vary (under 110 T) stay far inside those limits.
;
; A file is two blocks, a header and the data. A block is:
;   leader   pulses 1000 T apart: 4000 (one second) before a header, 1000
;            before the data
;   sync     one distance of 3000 T
;   bytes    the type (00h header, FFh data), the payload, then the sum of
;            the payload bytes modulo 256; each byte most significant bit
;            first, eight distances
;   trailer  16 pulses 1000 T apart
; The header payload is 14 bytes: the name (10 screen codes, filled up with
; spaces), the start address and the length (low byte first).
;
; The picture is off for the whole transfer: the frame's picture would take
; the CPU away for 14 ms at a time. The input is read at 0E000h, bit 0.

LEAD_N  equ 60          ; wait count for 1000 T per leader pulse
SYNC_N  equ 124         ; wait count for the 3000 T sync distance
BIT0_N  equ 59          ; wait counts for the bit distances
BIT1_N  equ 122
LEADER_H equ 4000       ; leader pulses before a header
LEADER_D equ 1000       ; before the data
TRAILER equ 16
TYPE_HDR equ 00h
TYPE_DATA equ 0FFh
HDR_LEN equ 14

RX_THR  equ 38          ; polls (38 T each): fewer means a bit 0
RX_SYNC equ 64          ; polls: at least this many after the leader: the sync
RX_MIN  equ 10          ; polls: a shorter distance is noise
LEAD_MIN equ 64         ; leader pulses needed before a sync counts

; ---- saving ----------------------------------------------------------------------------
; tape_save: writes the file described by HDR (name, start, length).
tape_save:
        ld   a,(PICOFF)
        ld   a,TYPE_HDR
        ld   bc,LEADER_H
        ld   hl,HDR
        ld   de,HDR_LEN
        call tx_block
        ld   a,TYPE_DATA
        ld   bc,LEADER_D
        ld   hl,(HDRSTART)
        ld   de,(HDRLEN)
        call tx_block
        ld   a,(PICON)
        ret

; tx_block: A = type, BC = leader pulses, HL = payload, DE = its length
; (1 to 65535).
tx_block:
        ld   (TXTYPE),a
        push hl
        push de
        call checksum
        ld   (TXSUM),a
        call tx_leader
        ld   a,SYNC_N            ; the sync: 3000 T after the last leader pulse
txb_sync:
        dec  a
        jr   nz,txb_sync
        ld   (PULSE),a
        ld   hl,TXTYPE
        ld   de,1
        call tx_bytes
        pop  de
        pop  hl
        call tx_bytes
        ld   hl,TXSUM
        ld   de,1
        call tx_bytes
        ld   bc,TRAILER
        ; the trailer, and return

; tx_leader: BC pulses (at least 1) 1000 T apart; returns 1000 T after the
; last one.
tx_leader:
        ld   (PULSE),a           ; 13
        ld   a,LEAD_N            ;  7
txl_wait:
        dec  a                   ; 16 per pass, 5 less for the last
        jr   nz,txl_wait
        dec  bc                  ;  6
        ld   a,b                 ;  4
        or   c                   ;  4
        jr   nz,tx_leader        ; 12: 41 + 16 * 60 = 1001
        ret

; tx_bytes: sends the DE bytes at HL. Distances between pulses inside a byte:
; 48 + 16 * 59 = 992 for a 0, 50 + 16 * 122 = 2002 for a 1; to the first bit
; of the next byte about 50 T more.
tx_bytes:
        ld   c,(hl)              ;  7
        inc  hl                  ;  6
        ld   b,8                 ;  7
txy_bit:
        rl   c                   ;  8
        ld   a,BIT0_N            ;  7
        jr   nc,txy_wait         ; 12 (7)
        ld   a,BIT1_N            ;  7
txy_wait:
        dec  a
        jr   nz,txy_wait
        ld   (PULSE),a           ; 13
        djnz txy_bit             ; 13 (8)
        dec  de
        ld   a,d
        or   e
        jr   nz,tx_bytes
        ret

; checksum: A = the sum modulo 256 of the DE bytes at HL; keeps HL and DE.
checksum:
        push hl
        push de
        ld   c,0
cs_loop:
        ld   a,(hl)
        add  a,c
        ld   c,a
        inc  hl
        dec  de
        ld   a,d
        or   e
        jr   nz,cs_loop
        ld   a,c
        pop  de
        pop  hl
        ret

; ---- loading -----------------------------------------------------------------------------
; tape_load: reads the first file on the tape whose name is NAMEB (any file
; when NAMEB is blank) to the address in its header, reporting each file met.
tape_load:
        ld   a,(PICOFF)
tld_search:
        ld   a,TYPE_HDR
        ld   hl,HDR
        ld   de,HDR_LEN
        call rx_block
        cp   3
        jr   z,tld_search        ; the data of a file: wait for the next header
        or   a
        jr   nz,tld_fail
        ld   hl,NAMEB
        ld   b,10
tld_blank:
        ld   a,(hl)
        cp   SPACE
        jr   nz,tld_named
        inc  hl
        djnz tld_blank
        jr   tld_take            ; no name asked for
tld_named:
        ld   hl,NAMEB
        ld   de,HDR
        ld   b,10
tld_compare:
        ld   a,(de)
        cp   (hl)
        jr   nz,tld_skip
        inc  hl
        inc  de
        djnz tld_compare
tld_take:
        ld   a,TYPE_DATA
        ld   hl,(HDRSTART)
        ld   de,(HDRLEN)
        call rx_block
        or   a
        jr   nz,tld_fail
        ld   a,(PICON)
        ld   hl,msg_loaded
        jp   report_file
tld_skip:
        ld   hl,msg_skipped
        call report_file
        jr   tld_search
tld_fail:                        ; A = 1 BREAK, otherwise a tape error
        push af
        ld   a,(PICON)
        call newline_if
        pop  af
        ld   hl,msg_break
        cp   1
        jr   z,tld_message
        ld   hl,msg_tape_error
tld_message:
        call pstr
        jp   beep

; rx_block: reads a block of type A, its payload into the DE bytes at HL.
; Returns A = 0 when it is in and its sum is right, 1 after BREAK, 2 when
; the tape went silent or the sum is wrong, 3 when the block has another
; type (left after its type byte).
rx_block:
        ld   (RXTYPE),a
        push hl
        push de
        call rx_sync
        pop  de
        pop  hl
        ld   a,1
        ret  c
        call rx_byte
        jr   c,rxb_error
        ld   b,a
        ld   a,(RXTYPE)
        cp   b
        ld   a,3
        ret  nz
        xor  a
        ld   (RXSUM),a
rxb_byte:
        call rx_byte
        jr   c,rxb_error
        ld   (hl),a
        inc  hl
        ld   c,a
        ld   a,(RXSUM)
        add  a,c
        ld   (RXSUM),a
        dec  de
        ld   a,d
        or   e
        jr   nz,rxb_byte
        call rx_byte             ; the sum
        jr   c,rxb_error
        ld   c,a
        ld   a,(RXSUM)
        cp   c
        ld   a,0
        ret  z
rxb_error:
        ld   a,2
        ret

; rx_sync: waits for at least LEAD_MIN leader pulses and the sync after them.
; Carry set when End (BREAK) is pressed meanwhile.
rx_sync:
        ld   e,LEAD_MIN
rxs_pulse:
        ld   a,(KBD+0FDh)        ; row 1: bit 7 is End
        rla
        jr   nc,rxs_break
        ld   b,0
        call rx_edge
        jr   z,rx_sync           ; silence
        ld   a,b
        cp   RX_THR
        jr   nc,rxs_long
        cp   RX_MIN
        jr   c,rx_sync           ; noise
        ld   a,e                 ; one more leader pulse
        or   a
        jr   z,rxs_pulse
        dec  e
        jr   rxs_pulse
rxs_long:
        cp   RX_SYNC
        jr   c,rx_sync           ; a bit 1: not a leader
        ld   a,e
        or   a                   ; carry clear
        jr   nz,rx_sync          ; too little leader before it
        ret
rxs_break:
        scf
        ret

; rx_byte: reads eight distances into a byte in A. Carry set when the tape
; went silent. Keeps DE and HL.
rx_byte:
        ld   c,1                 ; a marker bit: out after the eighth bit
rxy_bit:
        ld   b,0
        call rx_edge
        jr   z,rxy_silent
        ld   a,b
        cp   RX_THR              ; carry: a bit 0
        ccf
        rl   c
        jr   nc,rxy_bit
        ld   a,c
        and  a
        ret
rxy_silent:
        scf
        ret

; rx_edge: counts in B the polls (38 T each) until the input has been low and
; then goes high. Returns Z when B ran out (the tape is silent).
rx_edge:
        inc  b                   ;  4
        ret  z                   ;  5
        ld   a,(TAPEIN)          ; 13
        rra                      ;  4
        jr   c,rx_edge           ; 12
rxe_low:
        inc  b
        ret  z
        ld   a,(TAPEIN)
        rra
        jr   nc,rxe_low
        ret                      ; NZ

; ---- the beep ------------------------------------------------------------------------------
; beep: 100 pulses about 3300 T apart: a short tone of about 1.2 kHz, played
; in the time the picture leaves.
beep:   push bc
        ld   c,100
bp_pulse:
        ld   (PULSE),a
        ld   b,0
bp_wait:
        djnz bp_wait
        dec  c
        jr   nz,bp_pulse
        pop  bc
        ret
