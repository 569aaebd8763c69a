/*++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++*/
/*  Automatic generated C-code by the application:                              */
/*     Tarvel Editor v1.4r3                                                     */
/*++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++*/
/* Methodology: Hierarchical Switch-case state. [v1.5r1]                        */
/*++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++*/
/* Exported function: void Bits(void);                                          */
/*++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++*/

/*++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++*/
/* Initialization proposed by the user (Start).                                 */
/* - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -*/
  #include "fsm_test.h"

/* [Child:  Nibble]                                                             */
  

/* - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -*/
/* Initialization proposed by the user (End).                                   */
/*++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++*/

/*++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++*/
/* Entry flags (Start).                                                         */
/* - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -*/
  typedef struct {
      T_bit flg            :1;
      T_bit flg_1          :1;
  } T_EntryFsmFlg;
  static T_EntryFsmFlg entryFsm;
/* - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -*/
/* Entry flags (End).                                                           */
/*++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++*/

/*++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++*/
/* Automatic initialization (Start).                                            */
/* - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -*/
 /* States index. */
  #define  i_ZERO  ((T_u8)0)
  #define  i_ONE   ((T_u8)1)

 /* Index variable. */
static T_u8 ind_Bits = i_ZERO;

/* Macros & functions.                                                          */
/* Force the FSM to the initial state.                                          */
#define Bits_Init() { ind_Bits = i_ZERO; entryFsm.flg = 0U; }

/* This is a history FSM.                                                       */
#define _Bits_Init()  {}


/* [Child:  Nibble]                                                             */
   /* States index. */
    #define  i_1_LOW   ((T_u8)0)
    #define  i_1_HIGH  ((T_u8)1)
  
   /* Index variable. */
  static T_u8 ind_1_Nibble = i_1_LOW;
  
  /* Macros & functions. */
  /* This is a history FSM. */
  #define _Nibble_Init()  {}
  
/* - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -*/
/* Automatic initialization (End).                                              */
/*++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++*/

/*++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++*/
/* Local child functions  (Start).                                              */
/* - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -*/
  static void Nibble(void);
/* - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -*/
/* Local child functions  (End).                                                */
/*++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++*/

/*++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++*/
/* FSM dispatcher function to be called by the O.S.                             */
/*++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++*/
void Bits(void)
{
    /* Next state analyser. */
    switch(ind_Bits){
        case i_ZERO:
            /* Entry check */
            if(!((T_bit)entryFsm.flg)){
                entryFsm.flg = (T_bit)1;
                /* Entry actions */
                trace("0+");
            }
            /* State actions (Moore). */
            Nibble(); /* run the child */
            /* Next state selection. */
            if(tick){
                /* Child Initialization. */
                _Nibble_Init();
                /* Pointing to the next state. */
                ind_Bits = i_ONE;
                /* Reset entry flag */
                entryFsm.flg = 0U;
            }
        break;
        case i_ONE:
            /* Entry check */
            if(!((T_bit)entryFsm.flg)){
                entryFsm.flg = (T_bit)1;
                /* Entry actions */
                trace("1+");
            }
            /* Next state selection. */
            if(tick){
                /* Pointing to the next state. */
                ind_Bits = i_ZERO;
                /* Reset entry flag */
                entryFsm.flg = 0U;
            }
        break;
    }
}


/* [Child:  Nibble]                                                             */
  
  /*++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++ */
  /* FSM dispatcher function to be called by the O.S. */
  /*++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++ */
  static void Nibble(void)
  {
      /* Next state analyser. */
      switch(ind_1_Nibble){
          case i_1_LOW:
              /* Entry check */
              if(!((T_bit)entryFsm.flg_1)){
                  entryFsm.flg_1 = (T_bit)1;
                  /* Entry actions */
                  trace("lo+");
              }
              /* Next state selection. */
              {
                  /* Pointing to the next state. */
                  ind_1_Nibble = i_1_HIGH;
                  /* Reset entry flag */
                  entryFsm.flg_1 = 0U;
              }
          break;
          case i_1_HIGH:
              /* Entry check */
              if(!((T_bit)entryFsm.flg_1)){
                  entryFsm.flg_1 = (T_bit)1;
                  /* Entry actions */
                  trace("hi+");
              }
              /* Next state selection. */
              {
                  /* Pointing to the next state. */
                  ind_1_Nibble = i_1_LOW;
                  /* Reset entry flag */
                  entryFsm.flg_1 = 0U;
              }
          break;
      }
  }
  

/*++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++*/
/* Ending code proposed by the user (Start).                                    */
/* - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -*/

/* [Child:  Nibble]                                                             */

/* - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -*/
/* Ending code proposed by the user (End).                                      */
/*++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++*/
/*++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++*/
/*  End of the automatic generated C-code.                                      */
/*++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++*/
