/* The monitor control's window classes and its style bits: the two low
   bits are the kind, two bits a corner hold what that corner does. Plain
   defines only: dialog templates (the resource compiler) and C++ both
   read this file. */
#ifndef REDIRA_MONITOR_STYLES_H
#define REDIRA_MONITOR_STYLES_H

#define DOZEKIT_MONITOR_CLASS "DozekitMonitorClass"
#define DOZEKIT_MONITOR_WINDOW_CLASS "DozekitMonitorWindowClass"

/* The kind (mask 0x3). */
#define MS_NOTHING 0x0 /* the monitor picture alone */
#define MS_PREVIEW 0x1 /* with a screen window that hosts a live preview */
#define MS_CORNERS 0x2 /* with the four hot corners drawn and clickable */

/* The corners: the Now bit alone is Now, the Never bit alone Never,
   neither or both Default. */
#define MS_CTOPLEFTDEF 0x0
#define MS_CTOPLEFTNOW 0x10
#define MS_CTOPLEFTNEV 0x20
#define MS_CTOPRIGHTDEF 0x0
#define MS_CTOPRIGHTNOW 0x40
#define MS_CTOPRIGHTNEV 0x80
#define MS_CBOTRIGHTDEF 0x0
#define MS_CBOTRIGHTNOW 0x100
#define MS_CBOTRIGHTNEV 0x200
#define MS_CBOTLEFTDEF 0x0
#define MS_CBOTLEFTNOW 0x400
#define MS_CBOTLEFTNEV 0x800

#endif
