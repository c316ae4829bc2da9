/* The serial port at 9600 baud (11.0592 MHz; at 12 MHz a little faster),
   and putchar on it. On the host the same programs print to stdout, which
   is how the expected outputs were made. */
#ifndef UART_H
#define UART_H

#include <stdio.h>
#include <stdint.h>

#ifdef __SDCC
#include <8052.h>

static void uart_init(void)
{
    TMOD = (TMOD & 0x0F) | 0x20; /* timer 1: 8-bit auto-reload */
    TH1 = 0xFD;
    TL1 = 0xFD;
    SCON = 0x50;                 /* mode 1, receiver on */
    TR1 = 1;
    TI = 1;                      /* the transmitter is free */
}

int putchar(int c)
{
    while (!TI)
        ;
    TI = 0;
    SBUF = c;
    return c;
}

/* Waits until the last byte has left, then stops in a jump to itself
   (main must not return: the start-up code would run it again). */
static void uart_end(void)
{
    while (!TI)
        ;
    for (;;)
        ;
}
#else
static void uart_init(void) {}
static void uart_end(void) {}
#endif

static void print_str(const char *s)
{
    while (*s)
        putchar(*s++);
}

static void print_u32(uint32_t v)
{
    char buf[11];
    int i = 0;
    do {
        buf[i++] = '0' + (char)(v % 10);
        v /= 10;
    } while (v);
    while (i)
        putchar(buf[--i]);
}

static void print_line(const char *label, uint32_t v)
{
    print_str(label);
    print_u32(v);
    print_str("\r\n");
}

#endif
