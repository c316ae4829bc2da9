; Blink an LED on P1.0
START:
