; Placeholder for the Dorvane's 4 KB extension ROM, seen at D000h-DFFFh in
; the 64 KB configuration. It holds only a marker; the real extension
; replaces it.
        org 0D000h
        db "DORVANE EXTENSION PLACEHOLDER", 0
        ds 0E000h - $, 0FFh
