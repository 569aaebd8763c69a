//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
//  Automatic generated C-code by the application:
//     Tarvel Editor v1.4r3
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Methodology: Hierarchical Switch-case state. [v1.5r1]
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Exported function: void Counter(T_Counter *this, int tick);
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++

//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Initialization proposed by the user (Start).
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
  #include "fsm_test.h"
  // The instance type comes with the header.
  #include "Counter.h"

// [Child:  Blink]
  

// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
// Initialization proposed by the user (End).
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++

//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Automatic initialization (Start).
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
 // States index.
  #define  i_IDLE    ((T_u8)0)
  #define  i_ACTIVE  ((T_u8)1)
  #define  i_DONE    ((T_u8)2)

#if defined(FSM_DEBUG)
    static T_u8 debug_transNumber = (T_u8)0;
    static const T_char* debug_stateNames[] = {
        "IDLE",
        "ACTIVE",
        "DONE",
    };
#endif


// Macros & functions.
// Force the FSM to the initial state.
#if defined(FSM_DEBUG)
    #define Counter_Init() { this->ind_Counter = i_IDLE; this->entryFsmFlg = 0U; debug_transNumber = (T_u8)0U;}
#else
    #define Counter_Init() { this->ind_Counter = i_IDLE; this->entryFsmFlg = 0U; }
#endif

// This is not a history FSM.
#define _Counter_Init()  {Counter_Init(); /* Children: */ _Blink_Init();}

// Confirm that the FSM has reached a final state.
#define Counter_End() (\
    (this->ind_Counter == i_DONE))

// Confirm that the FSM has reached the state:[ACTIVE].
#define Counter_IsIn_ACTIVE() (this->ind_Counter == i_ACTIVE)

// Force the FSM to the state:[ACTIVE].
#if defined(FSM_DEBUG)
    #define Counter_Goto_ACTIVE() { this->ind_Counter = i_ACTIVE; this->entryFsmFlg = 0U; debug_transNumber = (T_u8)0U; }
#else
    #define Counter_Goto_ACTIVE() { this->ind_Counter = i_ACTIVE; this->entryFsmFlg = 0U; }
#endif


 // Definition of Exit_functions.
  static void ACTIVE_OnExit(T_Counter *this);


// [Child:  Blink]
   // States index.
    #define  i_1_ON   ((T_u8)0)
    #define  i_1_OFF  ((T_u8)1)
  
  #if defined(FSM_DEBUG)
      static T_u8 debug_transNumber_1 = (T_u8)0;
      static const T_char* debug_stateNames_1[] = {
          "ON",
          "OFF",
      };
  #endif
  
  
  // Macros & functions.
  // Force the FSM to the initial state.
  #if defined(FSM_DEBUG)
      #define Blink_Init() { this->ind_1_Blink = i_1_ON; this->entryFsmFlg_1 = 0U; debug_transNumber_1 = (T_u8)0U;}
  #else
      #define Blink_Init() { this->ind_1_Blink = i_1_ON; this->entryFsmFlg_1 = 0U; }
  #endif
  
  // This is not a history FSM.
  #define _Blink_Init()  {Blink_Init(); /* Children: */ }
  
    // FSM instance reset function
    void Counter_Reset(T_Counter *this)
    {
        this->ind_Counter = i_IDLE;
        this->ind_1_Blink = i_1_ON;
    
        this->entryFsmFlg = 0U;
        this->entryFsmFlg_1 = 0U;
    } 

// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
// Automatic initialization (End).
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++

//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Local child functions  (Start).
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
  static void Blink(T_Counter *this);
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
// Local child functions  (End).
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++

//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Debug customized macros.
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
#if defined(FSM_DEBUG)
    #define FSM_STATE_NAME()   debug_stateNames[this->ind_Counter]
    #define FSM_TRANS_NUMBER() debug_transNumber
    #define FSM_NAME()         "Counter"
#else
    #define FSM_STATE_NAME()
    #define FSM_TRANS_NUMBER()
    #define FSM_NAME()
#endif

//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// FSM dispatcher function to be called by the O.S.
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
void Counter(T_Counter *this, int tick)
{
    // User actions to be executed before analyse the state.
    #if defined(FSM_DEBUG)
    debugName = FSM_STATE_NAME();
    #endif

    #if defined(FSM_DEBUG)
        debug_transNumber = (T_u8)0U;
    #endif
    // Next state analyser.
    switch(this->ind_Counter){
        case i_IDLE:
            // Entry check
            if(!((T_bit)this->entryFsmFlg)){
                this->entryFsmFlg = (T_bit)1U;
                // Entry actions
                trace("IDLE+");
            }
            // Next state selection.
            if(tick){
                // Pointing to the next state.
                this->ind_Counter = i_ACTIVE;
                #if defined(FSM_DEBUG)
                    debug_transNumber = (T_u8)1;
                #endif
                // Reset entry flag
                this->entryFsmFlg = 0U;
            }
        break;
        case i_ACTIVE:
            // Entry check
            if(!((T_bit)this->entryFsmFlg)){
                this->entryFsmFlg = (T_bit)1U;
                // Entry actions
                trace("ACTIVE+");
            }
            // State actions (Moore).
            Blink(this);
            // Next state selection.
            if(!tick){	// [1].
                // Child Initialization.
                _Blink_Init();
                // Exit actions.
                ACTIVE_OnExit(this);
                // Pointing to the next state.
                this->ind_Counter = i_IDLE;
                #if defined(FSM_DEBUG)
                    debug_transNumber = (T_u8)1;
                #endif
                // Reset entry flag
                this->entryFsmFlg = 0U;
            }else if(tick > 5){	// [2].
                // Child Initialization.
                _Blink_Init();
                // Exit actions.
                ACTIVE_OnExit(this);
                // Pointing to the next state.
                this->ind_Counter = i_DONE;
                #if defined(FSM_DEBUG)
                    debug_transNumber = (T_u8)2;
                #endif
                // Reset entry flag
                this->entryFsmFlg = 0U;
            }
        break;
        case i_DONE:
            // State actions (Moore).
            trace("DONE");
        break;
    }
}


 // Implementation of Exit_functions.
static void ACTIVE_OnExit(T_Counter *this)
{
    trace("ACTIVE-");
    exits++;
    _Blink_Init();
}


// [Child:  Blink]
  
  //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
  // Debug customized macros.
  //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
  #if defined(FSM_DEBUG)
      #undef  FSM_STATE_NAME
      #undef  FSM_TRANS_NUMBER
      #undef  FSM_NAME
      #define FSM_STATE_NAME()   debug_stateNames_1[this->ind_1_Blink]
      #define FSM_TRANS_NUMBER() debug_transNumber_1
      #define FSM_NAME()         "Blink"
  #endif
  
  //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
  // FSM dispatcher function to be called by the O.S.
  //++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
  static void Blink(T_Counter *this)
  {
      // User actions to be executed before analyse the state.
      #if defined(FSM_DEBUG)
      debugName = FSM_STATE_NAME();
      #endif
  
      #if defined(FSM_DEBUG)
          debug_transNumber_1 = (T_u8)0U;
      #endif
      // Next state analyser.
      switch(this->ind_1_Blink){
          case i_1_ON:
              // Entry check
              if(!((T_bit)this->entryFsmFlg_1)){
                  this->entryFsmFlg_1 = (T_bit)1U;
                  // Entry actions
                  blinks++;
              }
              // State actions (Moore).
              trace("on");
              // Next state selection.
              {
                  // Pointing to the next state.
                  this->ind_1_Blink = i_1_OFF;
                  #if defined(FSM_DEBUG)
                      debug_transNumber_1 = (T_u8)1;
                  #endif
                  // Reset entry flag
                  this->entryFsmFlg_1 = 0U;
              }
          break;
          case i_1_OFF:
              // State actions (Moore).
              trace("off");
              // Next state selection.
              {
                  // Pointing to the next state.
                  this->ind_1_Blink = i_1_ON;
                  #if defined(FSM_DEBUG)
                      debug_transNumber_1 = (T_u8)1;
                  #endif
              }
          break;
      }
  }
  

//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
// Ending code proposed by the user (Start).
// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -

// [Child:  Blink]

// - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -
// Ending code proposed by the user (End).
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
//  End of the automatic generated C-code.
//++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++++
