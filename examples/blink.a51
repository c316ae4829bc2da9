; ==========================================================================
;  BLINK.A51 - бегущие огни, часы реального времени и порт связи
;  для AT89C51 / K1816BE51 на кварце 12 МГц.
;
;  P1      - линейка из восьми светодиодов (0 = светится)
;  P0      - сегменты индикатора, P2.0..P2.3 - выбор разряда
;  P3.2    - кнопка "режим" (INT0#), P3.3 - кнопка "установка"
;  UART    - 9600 бод: команды 'T' (время), 'S' (стоп), 'G' (пуск)
; ==========================================================================
	TITLE	Бегущие огни и часы, версия 1.4
	PAGEWIDTH 60
.IDENT /01.09.2025 12:00/

; --- Константы ------------------------------------------------------------
XTAL_KHZ	EQU	12000
TICK_US		EQU	1000		; период таймера 0, мкс
T0_RELOAD	EQU	65536-TICK_US	; при 12 МГц один такт = 1 мкс
TICKS_SEC	EQU	1000
BAUD_TH1	EQU	0FDH		; 9600 бод при SMOD = 0 (11.0592 МГц: точно)
STACK		EQU	60H
CHAR_CR		EQU	0DH		; не CR: двухбуквенные имена регистров
CHAR_LF		EQU	0AH		; и битов (CR = CCON.6) читаются раньше меток

; --- Ячейки внутреннего ОЗУ ----------------------------------------------
TICK_LO		EQU	30H		; счётчик миллисекунд
TICK_HI		EQU	31H
SECONDS		EQU	32H		; часы в двоично-десятичном виде
MINUTES		EQU	33H
HOURS		EQU	34H
PATTERN		EQU	35H		; текущий узор светодиодов
DIGIT		EQU	36H		; номер разряда индикатора 0..3
SPEED		EQU	37H		; делитель скорости огней
SPEED_CNT	EQU	38H
RX_CHAR		EQU	39H
DISP_BUF	EQU	40H		; четыре байта: коды сегментов
LOG_PTR		EQU	44H		; указатель журнала во внешнем ОЗУ (2 байта)

; --- Битовые переменные ---------------------------------------------------
F_SECOND	BIT	20H.0		; прошла секунда
F_RUN		BIT	20H.1		; огни бегут
F_RX		BIT	20H.2		; принят символ
F_DIR		BIT	20H.3		; направление огней
F_BLINK		BIT	PSW.5		; мигание точки (F0)
KEY_MODE	BIT	P3.2
KEY_SET		BIT	P3.3
LED0		BIT	P1.0

; --- Регистры -------------------------------------------------------------
CNT		EQU	R7		; счётчик циклов задержек
PTR		EQU	R0		; указатель в буфере индикатора

; ==========================================================================
;  Векторы прерываний
; ==========================================================================
	ORG	0
	JMP	START			; сразу после ORG - длинный переход
	ORG	03H			; INT0: кнопка режима
	JMP	INT0_ISR
	ORG	0BH			; таймер 0
	JMP	T0_ISR
	ORG	13H			; INT1 не используется
	RETI
	ORG	1BH			; таймер 1 занят под скорость UART
	RETI
	ORG	23H			; последовательный порт
	JMP	UART_ISR

; ==========================================================================
;  Начальная установка
; ==========================================================================
	ORG	30H
START:	MOV	SP,#STACK
	MOV	PSW,#0
	USING	0
	CLR	A
	MOV	R0,#7FH			; очистка ОЗУ 01H..7FH
CLEAR:	MOV	@R0,A
	DJNZ	R0,CLEAR
	MOV	PATTERN,#0FEH
	MOV	SPEED,#100
	MOV	SPEED_CNT,#100
	MOV	HOURS,#12H
	SETB	F_RUN
	MOV	DPTR,#0
	MOV	LOG_PTR,DPH
	MOV	LOG_PTR+1,DPL
	CALL	INIT_TIMERS
	CALL	INIT_UART
	SETB	IT0			; INT0 по фронту
	SETB	EX0
	SETB	ET0
	SETB	ES
	SETB	EA
	MOV	A,#'>'
	CALL	SEND_CHAR

; ==========================================================================
;  Главный цикл
; ==========================================================================
MAIN:	JNB	F_SECOND,NO_SEC
	CLR	F_SECOND
	CALL	CLOCK_TICK
	CALL	SHOW_TIME
	CPL	F_BLINK
NO_SEC:	JBC	F_RX,COMMAND
	JNB	F_RUN,MAIN
	MOV	A,SPEED_CNT
	JNZ	MAIN
	MOV	SPEED_CNT,SPEED
	CALL	NEXT_LED
	SJMP	MAIN

; --- Команды порта ---------------------------------------------------------
COMMAND:
	MOV	A,RX_CHAR
	ANL	A,#0DFH			; строчные буквы в прописные
	CJNE	A,#'T',CMD_S
	CALL	SEND_TIME
	SJMP	MAIN
CMD_S:	CJNE	A,#'S',CMD_G
	CLR	F_RUN
	MOV	P1,#0FFH
	SJMP	MAIN
CMD_G:	CJNE	A,#'G',CMD_PLUS
	SETB	F_RUN
	SJMP	MAIN
CMD_PLUS:
	CJNE	A,#0BH,CMD_BAD		; '+' после ANL даёт 0BH
	MOV	A,SPEED
	CLR	C
	SUBB	A,#10
	JC	MAIN			; быстрее некуда
	MOV	SPEED,A
	SJMP	MAIN
CMD_BAD:
	MOV	A,#'?'
	CALL	SEND_CHAR
	AJMP	MAIN

; ==========================================================================
;  Подпрограммы
; ==========================================================================
; Таймер 0 - режим 1 (16 бит), таймер 1 - режим 2 (автоперезагрузка) для UART
INIT_TIMERS:
	MOV	TMOD,#21H
	MOV	TH0,#.HI.T0_RELOAD
	MOV	TL0,#.LO.T0_RELOAD
	SETB	TR0
	RET

INIT_UART:
	MOV	TH1,#BAUD_TH1
	MOV	TL1,#BAUD_TH1
	ANL	PCON,#7FH		; SMOD = 0
	MOV	SCON,#50H		; режим 1, приём разрешён
	SETB	TR1
	RET

; Следующий шаг бегущих огней: сдвиг узора влево или вправо
NEXT_LED:
	MOV	A,PATTERN
	JB	F_DIR,GO_RIGHT
	RL	A
	JB	ACC.7,STORE_LED		; ещё не дошли до края
	SETB	F_DIR
	SJMP	STORE_LED
GO_RIGHT:
	RR	A
	JB	ACC.0,STORE_LED
	CLR	F_DIR
STORE_LED:
	MOV	PATTERN,A
	MOV	P1,A
	RET

; Часы: секунды, минуты и часы в двоично-десятичном виде
CLOCK_TICK:
	MOV	A,SECONDS
	ADD	A,#1
	DA	A
	MOV	SECONDS,A
	CJNE	A,#60H,TICK_DONE
	MOV	SECONDS,#0
	MOV	A,MINUTES
	ADD	A,#1
	DA	A
	MOV	MINUTES,A
	CJNE	A,#60H,TICK_DONE
	MOV	MINUTES,#0
	MOV	A,HOURS
	ADD	A,#1
	DA	A
	MOV	HOURS,A
	CJNE	A,#24H,TICK_DONE
	MOV	HOURS,#0
TICK_DONE:
	CALL	LOG_TIME
	RET

; Запись минут и секунд в журнал во внешнем ОЗУ (кольцо 0000H..07FFH)
LOG_TIME:
	MOV	DPH,LOG_PTR
	MOV	DPL,LOG_PTR+1
	MOV	A,MINUTES
	MOVX	@DPTR,A
	INC	DPTR
	MOV	A,SECONDS
	MOVX	@DPTR,A
	INC	DPTR
	MOV	A,DPH
	ANL	A,#07H
	MOV	LOG_PTR,A
	MOV	LOG_PTR+1,DPL
	RET

; Время на индикатор: ЧЧ.ММ, точка мигает раз в секунду
SHOW_TIME:
	MOV	PTR,#DISP_BUF
	MOV	A,HOURS
	CALL	TWO_DIGITS
	MOV	A,MINUTES
	CALL	TWO_DIGITS
	MOV	A,DISP_BUF+1
	MOV	C,F_BLINK
	MOV	ACC.7,C			; точка после часов
	MOV	DISP_BUF+1,A
	RET

TWO_DIGITS:
	PUSH	ACC
	SWAP	A
	ANL	A,#0FH
	CALL	SEG_CODE
	MOV	@PTR,A
	INC	PTR
	POP	ACC
	ANL	A,#0FH
	CALL	SEG_CODE
	MOV	@PTR,A
	INC	PTR
	RET

; Код сегментов цифры 0..9 в A: таблица переходов по три байта
SEG_CODE:
	MOV	B,#3
	MUL	AB
	MOV	DPTR,#SEG_TABLE
	JMP	@A+DPTR
SEG_TABLE:
	MOV	A,#3FH
	RET
	MOV	A,#06H
	RET
	MOV	A,#5BH
	RET
	MOV	A,#4FH
	RET
	MOV	A,#66H
	RET
	MOV	A,#6DH
	RET
	MOV	A,#7DH
	RET
	MOV	A,#07H
	RET
	MOV	A,#7FH
	RET
	MOV	A,#6FH
	RET

; Время в порт: ЧЧ:ММ:СС и перевод строки
SEND_TIME:
	MOV	A,HOURS
	CALL	SEND_BCD
	MOV	A,#':'
	CALL	SEND_CHAR
	MOV	A,MINUTES
	CALL	SEND_BCD
	MOV	A,#':'
	CALL	SEND_CHAR
	MOV	A,SECONDS
	CALL	SEND_BCD
	MOV	A,#CHAR_CR
	CALL	SEND_CHAR
	MOV	A,#CHAR_LF
	AJMP	SEND_CHAR

SEND_BCD:
	PUSH	ACC
	SWAP	A
	CALL	SEND_NIBBLE
	POP	ACC
SEND_NIBBLE:
	ANL	A,#0FH
	ADD	A,#90H			; старый приём: 0..F в '0'..'F'
	DA	A
	ADDC	A,#40H
	DA	A
SEND_CHAR:
	CLR	ES			; передача без прерываний
	CLR	TI
	MOV	SBUF,A
WAIT_TX:
	JNB	TI,WAIT_TX
	CLR	TI
	SETB	ES
	RET

; Задержка примерно CNT * 0.5 мс
DELAY:	MOV	CNT,A
DLY1:	MOV	R6,#248
	DJNZ	R6,$
	DJNZ	CNT,DLY1
	RET

; Двоичное число в A в три десятичные цифры: R2 сотни, R3 десятки, R4 единицы
BIN2DEC:
	MOV	B,#100
	DIV	AB
	MOV	R2,A
	MOV	A,B
	MOV	B,#10
	DIV	AB
	MOV	R3,A
	MOV	R4,B
	RET

; ==========================================================================
;  Обработчики прерываний
; ==========================================================================
; Таймер 0: 1 мс. Счёт миллисекунд, признак секунды, вывод одного разряда.
T0_ISR:	PUSH	PSW
	PUSH	ACC
	PUSH	DPH
	PUSH	DPL
	MOV	TH0,#.HI.T0_RELOAD
	MOV	TL0,#.LO.T0_RELOAD
	DEC	SPEED_CNT
	INC	TICK_LO
	MOV	A,TICK_LO
	JNZ	T0_CMP
	INC	TICK_HI
T0_CMP:	CJNE	A,#.LO.TICKS_SEC,T0_SCAN
	MOV	A,TICK_HI
	CJNE	A,#.HI.TICKS_SEC,T0_SCAN
	MOV	TICK_LO,#0
	MOV	TICK_HI,#0
	SETB	F_SECOND
T0_SCAN:
	ORL	P2,#0FH			; все разряды погашены
	MOV	A,DIGIT
	INC	A
	ANL	A,#03H
	MOV	DIGIT,A
	ADD	A,#DISP_BUF
	XCH	A,R1
	MOV	P0,@R1
	XCH	A,R1
	MOV	A,DIGIT		; маска разряда: 0 в бите номер DIGIT
	MOV	R5,A			; R5 принадлежит прерыванию
	INC	R5
	MOV	A,#0FEH
	SJMP	MASK_TEST
MASK_SHIFT:
	RL	A
MASK_TEST:
	DJNZ	R5,MASK_SHIFT
	ANL	P2,A
	POP	DPL
	POP	DPH
	POP	ACC
	POP	PSW
	RETI

; INT0: кнопка режима меняет скорость огней
INT0_ISR:
	PUSH	PSW
	PUSH	ACC
	MOV	A,SPEED
	RR	A
	JNZ	INT0_SET
	MOV	A,#100
INT0_SET:
	MOV	SPEED,A
	POP	ACC
	POP	PSW
	RETI

; Порт: приём символа, передача идёт без прерываний
UART_ISR:
	JNB	RI,UART_OUT
	CLR	RI
	MOV	RX_CHAR,SBUF
	SETB	F_RX
UART_OUT:
	RETI

	END
; Строки после END разбираются, но кода не дают.
