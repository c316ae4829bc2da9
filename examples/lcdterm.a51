$MOD51
$TITLE('LCDTERM - serial terminal on a character LCD')
$PAGELENGTH(64) PAGEWIDTH(120)
; ==========================================================================
;  LCDTERM.A51 - a serial terminal on a character LCD (HD44780 controller),
;  written in the classic Intel dialect: controls, segments, macros with
;  named parameters and LOCAL labels, IF blocks, DB 'text',0 tables.
;
;  AT89C51 at 11.0592 MHz. The UART runs at 9600 baud (timer 1, mode 2).
;  Every character received is shown on the LCD and sent back: CR returns
;  to the start of the line, LF goes to the next line, BS deletes the last
;  character, FF (Ctrl-L) clears the screen and ESC answers with the count
;  of characters received. Timer 0 interrupts every millisecond: the LED
;  on P1.7 blinks, and the delays count its ticks.
;
;  LCD: D0..D7 on P0, RS on P2.0, E on P2.1, R/W tied to ground.
; ==========================================================================

; --- Build options ---------------------------------------------------------
LCD_LINES       EQU     2               ; 2 or 4 lines
LCD_WIDTH       EQU     16              ; characters per line
USE_ECHO        EQU     1               ; 1 sends every character back
BAUD            EQU     9600
BLINK_MS        EQU     500             ; half a period of the LED

        IFNDEF  LCD_LINES               ; a board without the options above
LCD_LINES       EQU     2
        ENDIF

; --- Derived values --------------------------------------------------------
BAUD_BASE       EQU     28800           ; 11059200 / 12 / 32
T1_RELOAD       EQU     256 - BAUD_BASE / BAUD
T0_RELOAD       EQU     65536 - 1000 * 1152 / 1250  ; 1 ms: 921 machine cycles
TMOD_VALUE      EQU     (2 SHL 4) OR 1  ; timer 1 in mode 2, timer 0 in mode 1
IE_VALUE        EQU     (1 SHL 7) OR (1 SHL 4) OR (1 SHL 1)  ; EA, ES, ET0
RX_SIZE         EQU     16              ; the receive ring, a power of two
RX_MASK         EQU     RX_SIZE - 1
LCD_SHORT       EQU     40 / 2          ; 40 us in DJNZ loops of 2 cycles

IF LCD_LINES EQ 4
LINE_SIZE       EQU     20
ELSE
LINE_SIZE       EQU     LCD_WIDTH
ENDIF

$NOLIST
; Control characters (not listed)
CH_BS           EQU     08H
CH_LF           EQU     0AH
CH_FF           EQU     0CH
CH_CR           EQU     0DH
CH_ESC          EQU     1BH
$LIST

; --- Pins ------------------------------------------------------------------
LCD_BUS         EQU     P0              ; data bus of the LCD module
LCD_RS          BIT     P2.0            ; 0 command, 1 character
LCD_E           BIT     P2.1            ; strobe
LED             BIT     P1.7            ; blinks once a second

; --- Internal RAM ----------------------------------------------------------
        DSEG    AT 30H
RX_HEAD:        DS      1               ; next free place in RX_BUF
RX_TAIL:        DS      1               ; next character to take from it
CURSOR_COL:     DS      1
CURSOR_ROW:     DS      1
TICKS:          DS      2               ; milliseconds, low byte first
BLINK_COUNT:    DS      2
RX_COUNT:       DS      2               ; characters received
RX_BUF:         DS      RX_SIZE

        ISEG    AT 60H
STACK:          DS      32

        BSEG    AT 0
F_TICK:         DBIT    1               ; set by every timer tick
F_OVERRUN:      DBIT    1               ; the ring was full
F_TX_FREE:      DBIT    1               ; the transmitter takes a character

; --- Macros ----------------------------------------------------------------
; LCD_CMD code: one command byte to the LCD controller
LCD_CMD         MACRO   CODE
                MOV     A,#CODE
                LCALL   LCD_COMMAND
                ENDM

; PRINT text: a string that ends with a zero byte, from program memory
; to the LCD at the cursor
PRINT           MACRO   TEXT
                MOV     DPTR,#TEXT
                LCALL   LCD_PUTS
                ENDM

; SEND char: one character to the serial port
SEND            MACRO   CHAR
        IF CHAR EQ 0
                CLR     A
        ELSE
                MOV     A,#CHAR
        ENDIF
                LCALL   SERIAL_PUT
                ENDM

; WAIT_MS count: waits count milliseconds (1 to 255) on the timer ticks
WAIT_MS         MACRO   COUNT
                LOCAL   AGAIN
                MOV     R7,#COUNT
AGAIN:          LCALL   WAIT_TICK
                DJNZ    R7,AGAIN
                ENDM

; INC16 counter: adds one to a 16-bit counter (low byte first); uses A
INC16           MACRO   COUNTER
                LOCAL   DONE
                INC     COUNTER
                MOV     A,COUNTER
                JNZ     DONE
                INC     COUNTER+1
DONE:
                ENDM

; --- Vectors ---------------------------------------------------------------
        CSEG    AT 0
                LJMP    START
        CSEG    AT 0BH                  ; timer 0
                LJMP    TIMER0_ISR
        CSEG    AT 23H                  ; serial port
                LJMP    SERIAL_ISR

; --- Main program ----------------------------------------------------------
        CSEG    AT 30H
START:          MOV     SP,#STACK-1
                CLR     A
                MOV     RX_HEAD,A
                MOV     RX_TAIL,A
                MOV     RX_COUNT,A
                MOV     RX_COUNT+1,A
                MOV     BLINK_COUNT,#LOW BLINK_MS
                MOV     BLINK_COUNT+1,#HIGH(BLINK_MS)
                CLR     F_OVERRUN
                LCALL   SERIAL_INIT
                MOV     TH0,#HIGH T0_RELOAD
                MOV     TL0,#LOW T0_RELOAD
                SETB    TR0
                MOV     IE,#IE_VALUE
                LCALL   LCD_INIT
                LCALL   LCD_CLEAR
                PRINT   MSG_TITLE
        IF LCD_LINES GE 2 AND LINE_SIZE GE 16
                MOV     CURSOR_ROW,#1
                LCALL   LCD_GOTO
                PRINT   MSG_BAUD
        ENDIF
                MOV     DPTR,#MSG_HELLO
                LCALL   SERIAL_PUTS
MAIN_LOOP:      LCALL   SERIAL_GET
                JC      MAIN_IDLE
        IF USE_ECHO
                PUSH    ACC
                LCALL   SERIAL_PUT
                POP     ACC
        ENDIF
                CJNE    A,#CH_ESC,MAIN_SHOW
                LCALL   SHOW_COUNT
                SJMP    MAIN_LOOP
MAIN_SHOW:      LCALL   SHOW_CHAR
                SJMP    MAIN_LOOP

; The ring ran over: a "!" to the sender, and a pause to let it notice.
MAIN_IDLE:      JNB     F_OVERRUN,MAIN_LOOP
                CLR     F_OVERRUN
                USING   0
                PUSH    AR7             ; R7 of bank 0 is the macro's counter
                SEND    '!'
                WAIT_MS 50
                POP     AR7
                SJMP    MAIN_LOOP

; SHOW_CHAR: the character in A to the LCD, control characters obeyed
SHOW_CHAR:      CJNE    A,#CH_CR,SC_NOT_CR
                MOV     CURSOR_COL,#0
                LJMP    LCD_GOTO
SC_NOT_CR:      CJNE    A,#CH_LF,SC_NOT_LF
                MOV     A,CURSOR_ROW
                INC     A
                CJNE    A,#LCD_LINES,SC_ROW
                CLR     A
SC_ROW:         MOV     CURSOR_ROW,A
                LJMP    LCD_GOTO
SC_NOT_LF:      CJNE    A,#CH_BS,SC_NOT_BS
                MOV     A,CURSOR_COL
                JZ      SC_DONE
                DEC     CURSOR_COL
                LCALL   LCD_GOTO
                MOV     A,#' '
                LCALL   LCD_PUTC
                LJMP    LCD_GOTO
SC_NOT_BS:      CJNE    A,#CH_FF,SC_PLAIN
                LJMP    LCD_CLEAR
SC_PLAIN:       MOV     R5,A
                CLR     C
                SUBB    A,#20H          ; below the blank: not shown
                JC      SC_DONE
                MOV     A,CURSOR_COL
                CJNE    A,#LINE_SIZE,SC_FITS
                RET                     ; the line is full
SC_FITS:        INC     CURSOR_COL
                MOV     A,R5
                LJMP    LCD_PUTC
SC_DONE:        RET

; SHOW_COUNT: "Received: " and the count in hexadecimal to the serial port
SHOW_COUNT:     MOV     DPTR,#MSG_COUNT
                LCALL   SERIAL_PUTS
                MOV     A,RX_COUNT+1
                LCALL   PUT_HEX
                MOV     A,RX_COUNT
                LCALL   PUT_HEX
                MOV     DPTR,#MSG_CRLF
                SJMP    SERIAL_PUTS

; --- LCD driver ------------------------------------------------------------
; LCD_INIT: the controller after power-on: 8-bit bus, display on
LCD_INIT:       WAIT_MS 20              ; the controller's own start-up
                MOV     DPTR,#LCD_SETUP
LI_NEXT:        CLR     A
                MOVC    A,@A+DPTR
                JZ      LI_DONE
                PUSH    DPL
                PUSH    DPH
                LCALL   LCD_COMMAND
                WAIT_MS 5
                POP     DPH
                POP     DPL
                INC     DPTR
                SJMP    LI_NEXT
LI_DONE:        RET

; LCD_CLEAR: an empty screen, the cursor at the top left
LCD_CLEAR:      LCD_CMD 01H
                WAIT_MS 2               ; clearing takes 1.64 ms
                CLR     A
                MOV     CURSOR_COL,A
                MOV     CURSOR_ROW,A
                RET

; LCD_GOTO: the cursor to CURSOR_ROW, CURSOR_COL
LCD_GOTO:       MOV     A,CURSOR_ROW
                MOV     DPTR,#ROW_START
                MOVC    A,@A+DPTR
                ADD     A,CURSOR_COL
                ORL     A,#80H          ; "set the display address"
                SJMP    LCD_COMMAND

; LCD_PUTS: the string at DPTR (ends with a zero byte) to the LCD
LCD_PUTS:       CLR     A
                MOVC    A,@A+DPTR
                JZ      LP_DONE
                LCALL   LCD_PUTC
                INC     CURSOR_COL
                INC     DPTR
                SJMP    LCD_PUTS
LP_DONE:        RET

; LCD_COMMAND: the command in A; LCD_PUTC: the character in A
LCD_COMMAND:    CLR     LCD_RS
                SJMP    LCD_WRITE
LCD_PUTC:       SETB    LCD_RS
LCD_WRITE:      MOV     LCD_BUS,A
                SETB    LCD_E
                NOP
                CLR     LCD_E
                MOV     R6,#LCD_SHORT   ; most commands take 40 us
                DJNZ    R6,$
                RET

; --- Serial port -----------------------------------------------------------
SERIAL_INIT:    MOV     TMOD,#TMOD_VALUE
                MOV     TH1,#T1_RELOAD
                MOV     TL1,#T1_RELOAD
                MOV     SCON,#50H       ; mode 1, receiver on
                SETB    TR1
                SETB    F_TX_FREE
                RET

; SERIAL_PUT: the character in A, once the previous one has gone
SERIAL_PUT:     JNB     F_TX_FREE,$
                CLR     F_TX_FREE
                MOV     SBUF,A
                RET

; SERIAL_PUTS: the string at DPTR (ends with a zero byte)
SERIAL_PUTS:    CLR     A
                MOVC    A,@A+DPTR
                JZ      SP_DONE
                LCALL   SERIAL_PUT
                INC     DPTR
                SJMP    SERIAL_PUTS
SP_DONE:        RET

; SERIAL_GET: C = 0 and the next character in A, or C = 1 when none came
SERIAL_GET:     MOV     A,RX_TAIL
                CJNE    A,RX_HEAD,SG_TAKE
                SETB    C
                RET
SG_TAKE:        ADD     A,#RX_BUF
                MOV     R0,A
                MOV     A,RX_TAIL
                INC     A
                ANL     A,#RX_MASK
                MOV     RX_TAIL,A
                MOV     A,@R0
                CLR     C
                RET

; PUT_HEX: A as two hexadecimal digits
PUT_HEX:        PUSH    ACC
                SWAP    A
                LCALL   PUT_DIGIT
                POP     ACC
PUT_DIGIT:      ANL     A,#0FH
                MOV     DPTR,#HEX_DIGITS
                MOVC    A,@A+DPTR
                SJMP    SERIAL_PUT

; WAIT_TICK: waits for the next millisecond tick
WAIT_TICK:      JNB     F_TICK,$
                CLR     F_TICK
                RET

; --- Interrupts ------------------------------------------------------------
TIMER0_ISR:     MOV     TH0,#HIGH T0_RELOAD
                MOV     TL0,#LOW T0_RELOAD
                PUSH    PSW
                PUSH    ACC
                SETB    F_TICK
                INC16   TICKS
                MOV     A,BLINK_COUNT   ; BLINK_COUNT - 1, 16 bits
                JNZ     T0_LOW
                DEC     BLINK_COUNT+1
T0_LOW:         DEC     BLINK_COUNT
                MOV     A,BLINK_COUNT
                ORL     A,BLINK_COUNT+1
                JNZ     T0_DONE
                CPL     LED
                MOV     BLINK_COUNT,#LOW BLINK_MS
                MOV     BLINK_COUNT+1,#HIGH BLINK_MS
T0_DONE:        POP     ACC
                POP     PSW
                RETI

; The received character goes into the ring; the transmitter's flag
; tells SERIAL_PUT that it may send. Bank 1 keeps R0 of the program.
SERIAL_ISR:     PUSH    PSW
                PUSH    ACC
                USING   1
                MOV     PSW,#1 SHL 3    ; register bank 1
                JNB     RI,SI_TX
                CLR     RI
                MOV     A,RX_HEAD
                ADD     A,#RX_BUF
                MOV     AR0,A           ; R0 of bank 1
                MOV     A,RX_HEAD
                INC     A
                ANL     A,#RX_MASK
                CJNE    A,RX_TAIL,SI_STORE
                SETB    F_OVERRUN       ; full: the character is lost
                SJMP    SI_TX
SI_STORE:       MOV     @R0,SBUF
                MOV     RX_HEAD,A
                INC16   RX_COUNT
SI_TX:          JNB     TI,SI_DONE
                CLR     TI
                SETB    F_TX_FREE
SI_DONE:        POP     ACC
                POP     PSW
                RETI

; --- Texts and tables ------------------------------------------------------
MSG_TITLE:      DB      'LCD terminal',0
MSG_BAUD:
        IF BAUD EQ 9600
                DB      '9600 baud',0
        ELSE
                DB      'serial',0
        ENDIF
MSG_HELLO:      DB      'LCDTERM 1.0: what you type appears on the LCD.',CH_CR,CH_LF
                DB      'ESC asks for the count of characters received.',CH_CR,CH_LF,0
MSG_COUNT:      DB      'Received: ',0
MSG_CRLF:       DB      CH_CR,CH_LF,0
HEX_DIGITS:     DB      '0123456789ABCDEF'
LCD_SETUP:      DB      38H             ; 8-bit bus, two lines, 5x8 dots
                DB      0CH             ; display on, no cursor
                DB      06H             ; the cursor moves right
                DB      0               ; end of the table
ROW_START:
IF LCD_LINES EQ 4
                DB      00H,40H,14H,54H
ELSE
                DB      00H,40H
ENDIF
VERSION:        DW      0100H,START     ; version 1.0 and the entry point
                END
