/* Timer 0 interrupts in register bank 1 while the main program keeps a
   sum in bank 0: both must come out right. */
#include "uart.h"

static volatile uint16_t ticks;

#ifdef __SDCC
void timer0(void) __interrupt(1) __using(1)
{
    TH0 = 0xFC; /* 1 ms at 12 MHz */
    TL0 = 0x18;
    ticks++;
}
#endif

int main(void)
{
    uint16_t i, sum = 0;
    uart_init();
#ifdef __SDCC
    TMOD = (TMOD & 0xF0) | 0x01;
    TH0 = 0xFC;
    TL0 = 0x18;
    ET0 = 1;
    EA = 1;
    TR0 = 1;
#endif
    for (i = 1; i <= 3000; i++)
        sum += i * i;
    print_line("sum ", sum);
#ifdef __SDCC
    while (ticks < 20)
        ;
    EA = 0;
    print_line("ticks ", ticks >= 20);
#else
    print_line("ticks ", 1);
#endif
    uart_end();
    return 0;
}
