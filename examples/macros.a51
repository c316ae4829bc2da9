; Running light with LCD greeting: macros, an include file,
; conditional blocks and every data directive.
$INCLUDE \REG51.INC          ; the name may be written in any case

DEBUG    EQU     0           ; 1 builds the test pattern
SPEED    EQU     200

; DELAY reg,count: count passes of an empty DJNZ loop
DELAY:   MACRO   REG,COUNT
         MOV     \0,#\1
         DJNZ    \0,$
         ENDM

; LCDCMD byte: one command byte to the LCD module
         MACRO   LCDCMD
         CLR     LCD_RS
         MOV     LCD_DATA,#\0
         SETB    LCD_E
         CLR     LCD_E
.ENDM

         ORG     0
         LJMP    START
         ORG     0BH          ; timer 0 vector
         RETI

         ORG     30H
START:   MOV     SP,#STACK
         LCDCMD  38H          ; 8 bits, two lines
         LCDC    0CH          ; a prefix calls LCDCMD too
         MOV     DPTR,#PATTERN
         MOV     COUNTER,#0
NEXT:    MOV     A,COUNTER
         MOVC    A,@A+DPTR
         MOV     LED_PORT,A
         DELAY   LOOPS,SPEED
         INC     COUNTER
         ANL     COUNTER,#3
         SJMP    NEXT

.COMMENT %
The pattern table below is chosen at assembly time:
DEBUG = 1 gives all LEDs at once.
         %
.IFTRUE  DEBUG
PATTERN: DB      0,0,0,0
.ENDIF
.IFZ     DEBUG
PATTERN: DB      0FEH,0FDH,0FBH,0F7H
.ENDIF
.IFFALSE SPEED/100      ; 2 is not "true" for .IFFALSE
         0EFH,0DFH,0BFH,7FH
.ENDIF

         COMMENT %
         Texts for the LCD module and the serial port
         %
HELLO:   LCD     'Привет, мир!'
         DB      'Keys;LEDs'  ; a ";" inside quotes is data
         DBZ     'zero-terminated'
         DBE     'LAST'
         STR     'plain'
         STRW    'wide'
         STRCR   'line'
         STRWCR  'line2'
         DB      1,2,3,HELLO
         DEF8    SPEED
         DW      HELLO
         DEFL    .SW.1
         LINT    -100000
         FLT2    3.25
         FLT3    -0.5
BACK:    REL     START
BUFFER:  DS      8
         END
