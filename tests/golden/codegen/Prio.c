//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
//  Automatic generated C-code by the application:
//     Tarvel Editor v1.4r3
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Methodology: Hierarchical Switch-case state. [v1.5r1]
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Exported function: void Prio(void);
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++

//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Initialization proposed by the user (Start).
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -


// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
// Initialization proposed by the user (End).
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++

//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Entry flags (Start).
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
  static T_bit entryFsmFlg = 0U;
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
// Entry flags (End).
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++

//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Automatic initialization (Start).
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
 // States index.
  #define  i_S1  ((T_u8)0)
  #define  i_S2  ((T_u8)1)
  #define  i_S3  ((T_u8)2)
  #define  i_S4  ((T_u8)3)

 // Index variable.
static T_u8 ind_Prio = i_S1;

// Macros & functions.
// This is a history FSM.
#define _Prio_Init()  {}

// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
// Automatic initialization (End).
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++

//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Local child functions  (Start).
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -

// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
// Local child functions  (End).
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++

//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// FSM dispatcher function to be called by the O.S.
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
void Prio(void)
{
    // Chain transition flag.
    T_bit fsm_chainTransition;

    // Chain transition loop.
    do{
        fsm_chainTransition = FALSE;
        // Next state analyser.
        switch(ind_Prio){
            case i_S1:
                // Next state selection.
                if(a){	// [1].
                    // Exit actions.
                    x = 1;
                    y = 2;
                    // Pointing to the next state.
                    ind_Prio = i_S2;
                }else if(b
                         && c){	// [ 3].
                    // Exit actions.
                    x = 1;
                    y = 2;
                    // Pointing to the next state.
                    ind_Prio = i_S3;
                }else { // Else actions.
                    e();
                }
            break;
            case i_S2:
                // Entry check
                if(!((T_bit)entryFsmFlg)){
                    entryFsmFlg = (T_bit)1;
                    // Entry actions
                    enter();
                }
                // Next state selection.
                {
                    // Pointing to the next state.
                    ind_Prio = i_S1;
                    // Reset entry flag
                    entryFsmFlg = 0U;
                }
            break;
            case i_S3:
                // State actions (Moore).
                m();
                { // Else actions.
                    idle();
                }
            break;
            case i_S4:
                // Next state selection.
                if(1){	// [1].
                    // Pointing to the next state.
                    ind_Prio = i_S1;
                }else if(1){	// [2].
                    // Pointing to the next state.
                    ind_Prio = i_S2;
                }
            break;
        }
    }while(fsm_chainTransition);
}


//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Ending code proposed by the user (Start).
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -

// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
// Ending code proposed by the user (End).
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
//  End of the automatic generated C-code.
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
